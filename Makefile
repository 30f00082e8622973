# Entry points. Every target installs what is missing first.
#   make run     build and start the magazine on the sample issue
#   make run-chipdisk   build and start the chip-music player on the sample disk
#   make run-demo   build and start the 3D demo on the sample demo
#   make capture-demo   the sample demo as PNG frames and a WAV file under
#                build/release/marigold-capture (CAPTURE_ARGS, e.g. --seconds 10)
#   make test    build and run every test: plain, sanitized, and the fuzz targets
#   make bench   build and run the benchmarks
#   make fuzz    run every fuzz target for longer (FUZZ_SECONDS, default 600)
#   make sample  the sample issue under build/release/sample
#   make sample-pages   every page of the sample issue as PNG

BUILD_DIR    ?= build
JOBS         ?= $(shell nproc)
FUZZ_SECONDS ?= 600
TEST_FUZZ_SECONDS ?= 20
CAPTURE_ARGS ?=

CMAKE_GEN := -G Ninja
RELEASE   := $(BUILD_DIR)/release
ASAN      := $(BUILD_DIR)/asan
FUZZ      := $(BUILD_DIR)/fuzz

.PHONY: all deps build run run-chipdisk run-demo capture-demo test test-release test-asan test-fuzz fuzz bench sample sample-pages clean

all: build

deps:
	@bash scripts/install-deps.sh

$(RELEASE)/build.ninja: | deps
	cmake -S . -B $(RELEASE) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSUITE_WERROR=ON

$(ASAN)/build.ninja: | deps
	cmake -S . -B $(ASAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DSUITE_WERROR=ON \
	  -DSUITE_SANITIZE=ON -DSUITE_BENCH=OFF

$(FUZZ)/build.ninja: | deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DSUITE_FUZZ=ON -DSUITE_TESTS=OFF -DSUITE_BENCH=OFF

build: deps $(RELEASE)/build.ninja
	cmake --build $(RELEASE) -j $(JOBS)

sample: build
	cmake --build $(RELEASE) --target sample

sample-pages: sample
	bash scripts/sample-pages.sh $(RELEASE)

run: sample
	@bash scripts/run-magazine.sh $(RELEASE)

run-chipdisk: build
	cmake --build $(RELEASE) --target chipdisk chipdisk-sample
	@bash scripts/run-chipdisk.sh $(RELEASE)

run-demo: deps $(RELEASE)/build.ninja
	cmake --build $(RELEASE) -j $(JOBS) --target marigold marigold-sample
	@bash scripts/run-demo.sh $(RELEASE)

capture-demo: deps $(RELEASE)/build.ninja
	cmake --build $(RELEASE) -j $(JOBS) --target marigold-capture marigold-sample
	$(RELEASE)/marigold/marigold-capture -C $(RELEASE)/marigold-sample \
	  -o $(RELEASE)/marigold-capture $(CAPTURE_ARGS)

test: test-release test-asan test-fuzz

test-release: build
	ctest --test-dir $(RELEASE) --output-on-failure -j $(JOBS)

test-asan: deps $(ASAN)/build.ninja
	cmake --build $(ASAN) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN) --output-on-failure -j $(JOBS) -LE 'desktop|e2e'
	ASAN_OPTIONS=detect_leaks=0:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN) --output-on-failure -j $(JOBS) -L 'desktop|e2e'

test-fuzz: deps $(FUZZ)/build.ninja
	cmake --build $(FUZZ) -j $(JOBS)
	bash scripts/run-fuzzers.sh $(FUZZ) $(TEST_FUZZ_SECONDS)

fuzz: deps $(FUZZ)/build.ninja
	cmake --build $(FUZZ) -j $(JOBS)
	bash scripts/run-fuzzers.sh $(FUZZ) $(FUZZ_SECONDS)

bench: build
	$(RELEASE)/bench/media_bench --benchmark_counters_tabular=true
	$(RELEASE)/bench/chipdisk_bench

clean:
	rm -rf $(BUILD_DIR)
