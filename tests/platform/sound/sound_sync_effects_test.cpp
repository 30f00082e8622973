// Sync effects found in pattern data and blanked so that they are not heard.
#include <libopenmpt/libopenmpt.h>

#include <filesystem>
#include <vector>

#include "platform/sound/module_file.hpp"
#include "platform/sound/sync_effects.hpp"
#include "tests/platform/sound/sound_sync_tune.hpp"
#include "tests/support/scratch_dir.hpp"

namespace {

using platform::FreeModule;
using platform::LoadModuleMemory;
using platform::LoadSyncedModule;
using platform::SyncedModule;

std::vector<int16_t> RenderAll(openmpt_module* module) {
  std::vector<int16_t> all;
  int16_t buffer[2 * 4096];
  openmpt_module_ctl_set_integer(module, "dither", 0);
  for (;;) {
    const size_t got = openmpt_module_read_interleaved_stereo(module, sync_tune::kRate, 4096, buffer);
    if (got == 0) break;
    all.insert(all.end(), buffer, buffer + got * 2);
  }
  return all;
}

std::vector<int16_t> RenderBytes(const std::vector<uint8_t>& bytes) {
  const platform::ModuleLoad load = LoadModuleMemory(bytes.data(), bytes.size());
  EXPECT_NE(load.module, nullptr);
  if (!load.module) return {};
  std::vector<int16_t> samples = RenderAll(load.module);
  FreeModule(load.module);
  return samples;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::vector<uint8_t> bytes;
  EXPECT_EQ(platform::ReadModuleFile(path.c_str(), 0, 0, &bytes), platform::ModuleLoadStatus::Ok);
  return bytes;
}

class SyncEffectsTest : public testing::TestWithParam<chiptune::ModuleFormat> {};

TEST_P(SyncEffectsTest, FindsEverySyncOfTheWrittenTune) {
  const std::vector<uint8_t> bytes = sync_tune::Write(GetParam());
  SyncedModule load = LoadSyncedModule(bytes.data(), bytes.size());
  ASSERT_NE(load.module, nullptr);
  EXPECT_TRUE(load.neutral);
  EXPECT_EQ(load.syncs.Count(), 6u);  // pattern a's three, pattern b's three
  for (const sync_tune::Expected& sync : sync_tune::Syncs()) {
    const int pattern = openmpt_module_get_order_pattern(load.module, sync.order);
    const std::vector<uint8_t>& values = load.syncs.At(pattern, sync.row);
    EXPECT_NE(std::find(values.begin(), values.end(), sync.value), values.end())
        << "order " << sync.order << " row " << sync.row;
  }
  const int second = openmpt_module_get_order_pattern(load.module, 1);
  EXPECT_EQ(load.syncs.At(second, 7), (std::vector<uint8_t>{6, 5}));  // channel order
  EXPECT_TRUE(load.syncs.At(second, 8).empty());
  EXPECT_TRUE(platform::FindSyncEffects(load.module).empty()) << "left in what plays";
  FreeModule(load.module);
}

TEST_P(SyncEffectsTest, BlankedSyncsSoundLikeNoSyncsAtAll) {
  const std::vector<uint8_t> with = sync_tune::Write(GetParam(), true);
  const std::vector<uint8_t> without = sync_tune::Write(GetParam(), false);
  SyncedModule load = LoadSyncedModule(with.data(), with.size());
  ASSERT_NE(load.module, nullptr);
  const std::vector<int16_t> blanked = RenderAll(load.module);
  FreeModule(load.module);
  const std::vector<int16_t> plain = RenderBytes(without);
  ASSERT_GT(plain.size(), size_t{sync_tune::kRowFrames} * 40);
  EXPECT_TRUE(blanked == plain) << "the syncs changed the sound";
}

INSTANTIATE_TEST_SUITE_P(AllFormats, SyncEffectsTest, testing::ValuesIn(sync_tune::kFormats),
                         [](const auto& param) { return std::string(chiptune::FormatName(param.param)); });

// Played as written, E8x is panning: the check above would see it.
TEST(SyncEffectsAudible, UnblankedSyncsChangeTheSound) {
  for (chiptune::ModuleFormat format : {chiptune::ModuleFormat::Xm, chiptune::ModuleFormat::Mod}) {
    EXPECT_FALSE(RenderBytes(sync_tune::Write(format, true)) ==
                 RenderBytes(sync_tune::Write(format, false)))
        << chiptune::FormatName(format);
  }
}

TEST(SyncEffectsRealModules, NoneFoundAndTheModulesPlayAsBefore) {
  const std::string folder = testing_support::TestDataPath("modules");
  if (folder.empty()) GTEST_SKIP() << "shared test data not present";
  int checked = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    std::vector<uint8_t> bytes = ReadAll(entry.path().string());
    SyncedModule load = LoadSyncedModule(bytes.data(), bytes.size());
    ASSERT_NE(load.module, nullptr) << entry.path();
    // None of these uses E8x or S2x (their panning comes by 8xx and Sx8).
    EXPECT_TRUE(load.syncs.empty()) << entry.path();
    EXPECT_TRUE(load.neutral);
    FreeModule(load.module);
    std::vector<uint8_t> copy = bytes;
    EXPECT_EQ(platform::BlankSyncEffects(copy.data(), copy.size()), 0u) << entry.path();
    EXPECT_TRUE(copy == bytes) << entry.path();
    ++checked;
  }
  EXPECT_GE(checked, 8);
}

// Damaged and cut-short files: the blanking stays inside the bytes (the
// sanitizer run checks) and loading fails or succeeds cleanly.
TEST(SyncEffectsDamaged, CutShortAndBrokenFilesAreHandled) {
  std::vector<std::vector<uint8_t>> files;
  for (chiptune::ModuleFormat format : sync_tune::kFormats) files.push_back(sync_tune::Write(format));
  const std::string broken = testing_support::TestDataPath("modules/broken");
  if (!broken.empty())
    for (const auto& entry : std::filesystem::directory_iterator(broken))
      if (entry.is_regular_file()) files.push_back(ReadAll(entry.path().string()));
  for (const std::vector<uint8_t>& file : files) {
    for (size_t cut : {size_t{0}, size_t{1}, size_t{60}, size_t{300}, file.size() / 3,
                       file.size() / 2, file.size() - 1, file.size()}) {
      if (cut > file.size()) continue;
      std::vector<uint8_t> part(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut));
      platform::BlankSyncEffects(part.data(), part.size());
      SyncedModule load = LoadSyncedModule(part.data(), part.size());
      FreeModule(load.module);
    }
  }
  EXPECT_EQ(platform::BlankSyncEffects(nullptr, 100), 0u);
}

TEST(SyncEffectsBytes, OnlyTheSyncEffectsChange) {
  std::vector<uint8_t> mod = sync_tune::Write(chiptune::ModuleFormat::Mod, true);
  const std::vector<uint8_t> plain = sync_tune::Write(chiptune::ModuleFormat::Mod, false);
  EXPECT_EQ(platform::BlankSyncEffects(mod.data(), mod.size()), 6u);
  EXPECT_TRUE(mod == plain);  // fixed-size cells: blank is exactly "no effect"
  for (chiptune::ModuleFormat format : {chiptune::ModuleFormat::Xm, chiptune::ModuleFormat::S3m,
                                        chiptune::ModuleFormat::It}) {
    std::vector<uint8_t> bytes = sync_tune::Write(format, true);
    const std::vector<uint8_t> before = bytes;
    EXPECT_EQ(platform::BlankSyncEffects(bytes.data(), bytes.size()), 6u) << chiptune::FormatName(format);
    EXPECT_EQ(bytes.size(), before.size());
    size_t changed = 0;
    for (size_t i = 0; i < bytes.size(); ++i) changed += bytes[i] != before[i];
    EXPECT_EQ(changed, 12u) << chiptune::FormatName(format);  // effect and value, six times
  }
}

}  // namespace
