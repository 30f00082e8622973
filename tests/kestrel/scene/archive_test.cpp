// Data archive: ZIP lookups by loose names, the C-style file calls, the
// directory fallback and path resolution for scenes and objects.
#include <gtest/gtest.h>

#include <cstring>

#include "kestrel/archive/archive.hpp"
#include "kestrel/scene/lws.hpp"
#include "tests/kestrel/scene/lw_builder.hpp"
#include "tests/support/scratch_dir.hpp"

namespace kestrel {
namespace {

using testing_support::WriteFile;

class Archive : public testing_support::ScratchDirTest {
 protected:
  void TearDown() override {
    AlfShutdown();
    ScratchDirTest::TearDown();
  }
  void MakeArchive(const std::vector<std::pair<std::string, std::string>>& entries) {
    lw_builder::WriteZip("data.alf", entries);
    ASSERT_TRUE(AlfInit("data.alf"));
  }
};

std::string AsText(const std::optional<std::vector<uint8_t>>& bytes) {
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<none>");
}

TEST(DataPaths, NormalizeFoldsSeparatorsAndDots) {
  EXPECT_EQ(NormalizeDataPath("scenes\\common.lws"), "scenes/common.lws");
  EXPECT_EQ(NormalizeDataPath("a/./b//c/../d"), "a/b/d");
  EXPECT_EQ(NormalizeDataPath("../x"), "../x");
  EXPECT_EQ(NormalizeDataPath("/../x"), "/x");
  EXPECT_EQ(DataDirectory("scenes/a.lws"), "scenes");
  EXPECT_EQ(DataDirectory("a.lws"), "");
  EXPECT_EQ(DataBaseName("x\\y\\Z.LWO"), "Z.LWO");
}

TEST_F(Archive, NamesCompareLooselyInsideTheArchive) {
  MakeArchive({{"Scenes/Common.LWS", "scene"}, {"music/marigold.xm", "tune"}});
  EXPECT_EQ(AsText(ReadDataFile("scenes\\common.lws")), "scene");
  EXPECT_EQ(AsText(ReadDataFile("SCENES/COMMON.lws")), "scene");
  EXPECT_EQ(AsText(ReadDataFile("objects/../scenes/./common.lws")), "scene");
  EXPECT_EQ(AsText(ReadDataFile("/music/marigold.xm")), "tune");
  EXPECT_FALSE(ReadDataFile("common.lws"));
  // With an archive, the directory is not consulted.
  WriteFile("loose.txt", std::string("disk"));
  EXPECT_FALSE(ReadDataFile("loose.txt"));
}

TEST_F(Archive, OpenReadCloseLikeStdio) {
  MakeArchive({{"music.xm", "0123456789"}});
  ArchiveFile* file = AlfOpen("MUSIC.XM", "rb");
  ASSERT_NE(file, nullptr);
  int32_t size = 0;
  std::memcpy(&size, file, sizeof size);  // the handle's first field
  EXPECT_EQ(size, 10);
  char buffer[16] = {};
  EXPECT_EQ(AlfRead(buffer, 4, 1, file), 1u);
  EXPECT_EQ(std::string(buffer, 4), "0123");
  EXPECT_EQ(AlfRead(buffer, 4, 2, file), 1u);  // only one whole item left
  EXPECT_EQ(std::string(buffer, 4), "4567");
  EXPECT_EQ(AlfRead(buffer, 1, 16, file), 2u);
  EXPECT_EQ(AlfRead(buffer, 1, 16, file), 0u);
  AlfClose(file);
  AlfClose(nullptr);
  EXPECT_EQ(AlfOpen("missing.xm", "rb"), nullptr);
  EXPECT_EQ(AlfOpen("music.xm", "wb"), nullptr);
}

TEST_F(Archive, EmptyFilesOpenAndReadNothing) {
  MakeArchive({{"empty.txt", ""}});
  ArchiveFile* file = AlfOpen("empty.txt", "rb");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->size, 0);
  char byte = 0;
  EXPECT_EQ(AlfRead(&byte, 1, 1, file), 0u);
  AlfClose(file);
}

TEST_F(Archive, WithoutAnArchiveFilesComeFromTheDirectory) {
  WriteFile("Scenes.txt", std::string("x"));
  ASSERT_EQ(0, testing_support::RunCommand("mkdir -p Data/Sub && echo -n hello > Data/Sub/File.TXT"));
  EXPECT_FALSE(AlfActive());
  EXPECT_EQ(AsText(ReadDataFile("data\\sub\\file.txt")), "hello");  // case-insensitive fallback
  ArchiveFile* file = AlfOpen("Data/Sub/File.TXT", "rb");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->size, 5);
  AlfClose(file);
}

TEST_F(Archive, ADamagedArchiveIsRefusedAndReadsStayOnDisk) {
  WriteFile("bad.alf", std::string("PK\x03\x04 this is not a zip"));
  WriteFile("here.txt", std::string("disk"));
  EXPECT_FALSE(AlfInit("bad.alf"));
  EXPECT_FALSE(AlfInit("missing.alf"));
  EXPECT_FALSE(AlfActive());
  EXPECT_EQ(AsText(ReadDataFile("here.txt")), "disk");
}

TEST_F(Archive, ReferencesResolveUpTheFoldersThenByBaseName) {
  MakeArchive({{"Objects/Ship/ship.lwo", "o"},
               {"Images/earth.jpg", "e"},
               {"Objects/Ship/Images/hull.png", "h"},
               {"Textures/Deep/panel.jpg", "p"}});
  EXPECT_EQ(ResolveDataPath("Objects/Ship", "Disk:Images/earth.jpg"), "Images/earth.jpg");
  EXPECT_EQ(ResolveDataPath("Objects/Ship", "Images/hull.png"), "Objects/Ship/Images/hull.png");
  EXPECT_EQ(ResolveDataPath("Objects/Ship", "C:\\Work\\Images\\panel.jpg"), "Textures/Deep/panel.jpg");
  EXPECT_EQ(ResolveDataPath("Objects/Ship", "nothing.jpg"), "");
}

TEST_F(Archive, ScenesLoadWithTheirObjectsFromTheArchive) {
  const auto cube = lw_builder::Lwob("Skin", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 1, 2, 3}});
  MakeArchive({{"scenes\\intro.lws",
                "LWSC\n3\nFramesPerSecond 25\nLoadObjectLayer 1 Objects\\Quad.lwo\nLoadObject Disk:Other/quad.LWO\n"},
               {"objects/quad.lwo", std::string(cube.begin(), cube.end())}});
  std::string error;
  const auto scene = LoadScene("scenes\\intro.lws", &error);
  ASSERT_TRUE(scene) << error;
  ASSERT_EQ(scene->objects.size(), 2u);
  EXPECT_EQ(scene->objects[0].name, "Quad.lwo");
  ASSERT_TRUE(scene->objects[0].mesh);
  EXPECT_EQ(scene->objects[0].mesh->TriangleCount(), 2u);
  ASSERT_TRUE(scene->objects[1].mesh);  // found by its base name
  EXPECT_EQ(scene->objects[1].name, "quad.LWO");
  EXPECT_EQ(scene->framesPerSecond, 25);
}

}  // namespace
}  // namespace kestrel
