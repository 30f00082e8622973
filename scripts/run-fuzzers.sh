#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time on a copy of its
# committed corpus. Usage: run-fuzzers.sh BUILD_DIR SECONDS
set -euo pipefail
build=$(cd "$1" && pwd)  # absolute: the targets run from a scratch directory
seconds=${2:-30}
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
for target in "$build"/fuzz/*_fuzzer; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="$root/fuzz/corpus/$name"
  # The target runs in a directory of its own (it may write files there),
  # on a copy of the committed corpus.
  work=$(mktemp -d)
  mkdir -p "$work/corpus" "$work/run"
  [ -d "$corpus" ] && cp -r "$corpus"/. "$work/corpus"/
  # A target may need flags of its own, one per line in fuzz/<name>.flags.
  extra=()
  [ -f "$root/fuzz/$name.flags" ] && mapfile -t extra < "$root/fuzz/$name.flags"
  echo "== $name (${seconds}s)"
  if ! (cd "$work/run" && "$target" -max_total_time="$seconds" -print_final_stats=0 \
          -rss_limit_mb=2048 -timeout=10 "${extra[@]}" "$work/corpus" > "$work.log" 2>&1); then
    tail -n 60 "$work.log"
    echo "FAILED: $name"
    status=1
  else
    grep -E '^Done|#[0-9]+.*DONE' "$work.log" | tail -n 1 || true
  fi
  rm -rf "$work" "$work.log"
done
exit $status
