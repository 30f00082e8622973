// alf-pack run as a user would: a folder in, an archive the engine reads out.
#include <gtest/gtest.h>

#include <filesystem>

#include "kestrel/archive/archive.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/tool_runner.hpp"

namespace {

using testing_support::ReadFile;
using testing_support::RunTool;
using testing_support::WriteFile;

class AlfPack : public testing_support::ScratchDirTest {
 protected:
  void TearDown() override {
    kestrel::AlfShutdown();
    ScratchDirTest::TearDown();
  }
  void MakeFolder() {
    std::filesystem::create_directories("content/scenes");
    std::filesystem::create_directories("content/objects/deep");
    WriteFile("content/scenes/PicSpiral.lws", std::string("LWSC\n3\n"));
    WriteFile("content/objects/deep/Cube.lwo", std::string("FORM"));
    WriteFile("content/marigold.xm", std::string("Extended Module: "));
  }
};

std::string Read(const char* name) {
  const auto bytes = kestrel::ReadDataFile(name);
  return bytes ? std::string(bytes->begin(), bytes->end()) : "<missing>";
}

TEST_F(AlfPack, PacksEveryFileUnderItsPathAndTheDemoReadsThem) {
  MakeFolder();
  const auto run = RunTool(ALF_PACK_PATH, {"Marigold.alf", "content"});
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_TRUE(kestrel::AlfInit("Marigold.alf"));
  EXPECT_EQ(kestrel::ArchiveFileNames(),
            (std::vector<std::string>{"marigold.xm", "objects/deep/Cube.lwo", "scenes/PicSpiral.lws"}));
  EXPECT_EQ(Read("scenes\\picspiral.lws"), "LWSC\n3\n");
  EXPECT_EQ(Read("OBJECTS\\DEEP\\cube.lwo"), "FORM");
}

TEST_F(AlfPack, TheSameFolderGivesTheSameBytesAndTheArchiveSkipsItself) {
  MakeFolder();
  ASSERT_EQ(RunTool(ALF_PACK_PATH, {"first.alf", "content"}).status, 0);
  // Touched files (new modification times) change nothing.
  std::filesystem::last_write_time("content/marigold.xm", std::filesystem::file_time_type::clock::now());
  ASSERT_EQ(RunTool(ALF_PACK_PATH, {"content/inside.alf", "content"}).status, 0);
  EXPECT_EQ(ReadFile("first.alf"), ReadFile("content/inside.alf"));
  // Packed again with the archive now in the folder: still left out.
  ASSERT_EQ(RunTool(ALF_PACK_PATH, {"content/inside.alf", "content"}).status, 0);
  EXPECT_EQ(ReadFile("first.alf"), ReadFile("content/inside.alf"));
}

// Two builds of the sample demo give the same archive, byte for byte.
TEST_F(AlfPack, TheSampleDemoIsTheSameEveryBuild) {
  for (const char* folder : {"first", "second"}) {
    const auto made = RunTool(MARIGOLD_CONTENT_PATH, {"-o", folder});
    ASSERT_EQ(made.status, 0) << made.err;
    const auto packed = RunTool(ALF_PACK_PATH, {std::string(folder) + ".alf", folder});
    ASSERT_EQ(packed.status, 0) << packed.err;
  }
  EXPECT_EQ(ReadFile("first.alf"), ReadFile("second.alf"));
  ASSERT_TRUE(kestrel::AlfInit("first.alf"));
  for (const char* name : {"scenes\\common.lws", "scenes\\PicSpiral.lws", "scenes\\oblong_2k_2nd.lws",
                           "small1.jpg", "small2.jpg", "marigold.jpg", "marigold.xm"})
    EXPECT_TRUE(kestrel::DataFileExists(name)) << name;
}

TEST_F(AlfPack, FailuresAreReportedWithAStatus) {
  EXPECT_EQ(RunTool(ALF_PACK_PATH, {"only-one-argument"}).status, 2);
  const auto missing = RunTool(ALF_PACK_PATH, {"out.alf", "no-such-folder"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("no-such-folder"), std::string::npos) << missing.err;
  MakeFolder();
  WriteFile("content/scenes/picspiral.LWS", std::string("twin"));
  const auto clash = RunTool(ALF_PACK_PATH, {"out.alf", "content"});
  EXPECT_EQ(clash.status, 1);
  EXPECT_NE(clash.err.find("name the same file"), std::string::npos) << clash.err;
  EXPECT_FALSE(testing_support::FileExists("out.alf"));
}

}  // namespace
