// Loading tracker modules: the shared test modules, damaged ones, and names.
#include <algorithm>
#include <filesystem>

#include "platform/sound/module_file.hpp"
#include "tests/support/scratch_dir.hpp"

namespace {

using platform::LoadModuleFile;
using platform::ModuleLoad;
using platform::ModuleLoadStatus;
using testing_support::Bytes;

class ModuleFileTest : public testing_support::ScratchDirTest {
 protected:
  static ModuleLoadStatus StatusOf(const std::string& name, uint64_t offset = 0,
                                   uint64_t length = 0) {
    const ModuleLoad load = LoadModuleFile(name.c_str(), offset, length);
    EXPECT_EQ(load.module != nullptr, load.status == ModuleLoadStatus::Ok);
    platform::FreeModule(load.module);
    return load.status;
  }
};

TEST_F(ModuleFileTest, EveryTestModuleLoads) {
  REQUIRE_TESTDATA(folder, "modules");
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    EXPECT_EQ(StatusOf(entry.path().string()), ModuleLoadStatus::Ok) << entry.path();
    ++count;
  }
  EXPECT_GE(count, 4);
}

TEST_F(ModuleFileTest, S3mWithHeadersPastTheEndIsDamaged) {
  REQUIRE_TESTDATA(path, "modules/broken/load_s3m_invalid_sample_size.s3m");
  EXPECT_EQ(StatusOf(path), ModuleLoadStatus::Damaged);
}

TEST_F(ModuleFileTest, WhatIsNotAModule) {
  EXPECT_EQ(StatusOf("missing.xm"), ModuleLoadStatus::NotFound);
  std::filesystem::create_directory("folder.xm");
  EXPECT_EQ(StatusOf("folder.xm"), ModuleLoadStatus::NotFound);
  testing_support::WriteFile("empty.xm", "");
  EXPECT_EQ(StatusOf("empty.xm"), ModuleLoadStatus::UnknownFormat);
  testing_support::WriteFile("text.xm", std::string(4000, 'x'));
  EXPECT_EQ(StatusOf("text.xm"), ModuleLoadStatus::UnknownFormat);
  EXPECT_EQ(LoadModuleFile(nullptr).status, ModuleLoadStatus::NotFound);
}

TEST_F(ModuleFileTest, NamesFromTheFirstPlatformAreFound) {
  REQUIRE_TESTDATA(path, "modules/pennylane.mod");
  std::filesystem::create_directory("Music");
  std::filesystem::copy_file(path, "Music/Tune.MOD");
  EXPECT_EQ(StatusOf("Music/Tune.MOD"), ModuleLoadStatus::Ok);
  EXPECT_EQ(StatusOf("music\\tune.mod"), ModuleLoadStatus::Ok);
  EXPECT_EQ(StatusOf("MUSIC/TUNE.mod"), ModuleLoadStatus::Ok);
  EXPECT_EQ(StatusOf("music/other.mod"), ModuleLoadStatus::NotFound);
}

TEST_F(ModuleFileTest, ARangeOfAFile) {
  REQUIRE_TESTDATA(path, "modules/pennylane.mod");
  Bytes packed(100, 0xEE);
  const Bytes module = testing_support::ReadFile(path);
  packed.insert(packed.end(), module.begin(), module.end());
  packed.insert(packed.end(), 50, 0xEE);
  testing_support::WriteFile("packed.bin", packed);
  EXPECT_EQ(StatusOf("packed.bin", 100, module.size()), ModuleLoadStatus::Ok);
  EXPECT_EQ(StatusOf("packed.bin", packed.size() + 1), ModuleLoadStatus::UnknownFormat);
}

// An IT file of one sample whose header is at `sampleAt`, cut to `size`.
Bytes ItWithOneSample(uint32_t sampleAt, size_t size) {
  Bytes bytes(std::max<size_t>(size, 0xC5), 0);
  bytes[0] = 'I', bytes[1] = 'M', bytes[2] = 'P', bytes[3] = 'M';
  bytes[0x20] = 1;     // one order
  bytes[0x24] = 1;     // one sample
  bytes[0xC0] = 0xFF;  // the order list's end
  for (int i = 0; i < 4; ++i) bytes[0xC1 + i] = static_cast<uint8_t>(sampleAt >> (8 * i));
  bytes.resize(size);
  return bytes;
}

TEST(ModuleTables, ItSampleHeadersMustLieInsideTheFile) {
  const Bytes inside = ItWithOneSample(0x100, 0x150);
  EXPECT_TRUE(platform::ModuleTablesInsideFile(inside.data(), inside.size()));
  const Bytes past = ItWithOneSample(0x120, 0x150);
  EXPECT_FALSE(platform::ModuleTablesInsideFile(past.data(), past.size()));
  const Bytes tableCut = ItWithOneSample(0x100, 0xC3);
  EXPECT_FALSE(platform::ModuleTablesInsideFile(tableCut.data(), tableCut.size()));
}

}  // namespace
