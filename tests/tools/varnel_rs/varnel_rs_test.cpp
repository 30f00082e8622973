// varnel-rs as a person uses it: pack a directory, list, extract, verify.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/scratch_dir.hpp"
#include "tests/support/tool_runner.hpp"
#include "tools/common/archive_writer.hpp"

using namespace testing_support;

namespace {

ToolResult Rs(const std::vector<std::string>& args) { return RunTool(VARNEL_RS_PATH, args); }

class VarnelRsTest : public ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    std::filesystem::create_directories("issue/ARTS");
    std::filesystem::create_directories("issue/DATA");
    std::string article;
    for (int i = 0; i < 300; ++i) article += "A line of an article about tracker music.\r\n";
    WriteFile("issue/ARTS/menu.vn2", article);
    Bytes noise(4000);
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<uint8_t>((i * 2654435761u) >> 13);
    WriteFile("issue/DATA/noise.bin", noise);
    WriteFile("issue/DATA/empty.bin", Bytes{});
  }
};

TEST_F(VarnelRsTest, PackDirectoryThenListExtractVerify) {
  ToolResult packed = Rs({"pack", "-o", "varnel.rs", "-C", "issue", "--auto", "ARTS", "DATA"});
  ASSERT_EQ(packed.status, 0) << packed.err;

  ToolResult list = Rs({"list", "varnel.rs"});
  ASSERT_EQ(list.status, 0) << list.err;
  // Directories are packed in name order; only the text shrinks when packed.
  const std::string menuSize = std::to_string(ReadFile("issue/ARTS/menu.vn2").size());
  std::istringstream lines(list.out);
  std::string name, flag;
  long stored = 0, unpacked = 0;
  lines >> name >> stored >> unpacked >> flag;
  EXPECT_EQ(name, "ARTS/menu.vn2");
  EXPECT_EQ(std::to_string(unpacked), menuSize);
  EXPECT_LT(stored, unpacked);
  EXPECT_EQ(flag, "1");
  EXPECT_NE(list.out.find("DATA/empty.bin 0 0 0\n"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("DATA/noise.bin 4000 4000 0\n"), std::string::npos) << list.out;

  ToolResult extracted = Rs({"extract", "varnel.rs", "arts\\MENU.VN2"});
  ASSERT_EQ(extracted.status, 0) << extracted.err;
  const Bytes menu = ReadFile("issue/ARTS/menu.vn2");
  EXPECT_EQ(extracted.out, std::string(menu.begin(), menu.end()));

  ASSERT_EQ(Rs({"extract", "varnel.rs", "DATA/noise.bin", "-o", "noise.out"}).status, 0);
  EXPECT_EQ(ReadFile("noise.out"), ReadFile("issue/DATA/noise.bin"));

  ToolResult verify = Rs({"verify", "varnel.rs"});
  EXPECT_EQ(verify.status, 0) << verify.err;
  EXPECT_NE(verify.out.find("3 entries"), std::string::npos) << verify.out;

  // The reader's temporary files never land in the caller's directory.
  EXPECT_TRUE(TemporaryFilesHere().empty());
}

TEST_F(VarnelRsTest, StoreAndHuffmanModesAndUnpackRoundTrip) {
  ASSERT_EQ(Rs({"pack", "-o", "stored.rs", "-C", "issue", "--store", "ARTS", "DATA"}).status, 0);
  ASSERT_EQ(Rs({"pack", "-o", "packed.rs", "-C", "issue", "--huffman", "ARTS", "DATA"}).status, 0);
  EXPECT_NE(Rs({"list", "stored.rs"}).out.find("noise.bin 4000 4000 0"), std::string::npos);
  EXPECT_NE(Rs({"list", "packed.rs"}).out.find("DATA/empty.bin 1024 0 1"), std::string::npos);
  for (const char* archive : {"stored.rs", "packed.rs"}) {
    const std::string dir = std::string("out-") + archive;
    ToolResult unpacked = Rs({"unpack", archive, "-d", dir});
    ASSERT_EQ(unpacked.status, 0) << unpacked.err;
    for (const char* file : {"ARTS/menu.vn2", "DATA/noise.bin", "DATA/empty.bin"})
      EXPECT_EQ(ReadFile(dir + "/" + file), ReadFile(std::string("issue/") + file)) << archive << " " << file;
  }
}

TEST_F(VarnelRsTest, ListFileNamesTheEntries) {
  WriteFile("entries.lst", std::string("# the menu first\r\nARTS/menu.vn2\n\nDATA/empty.bin\n"));
  ASSERT_EQ(Rs({"pack", "-o", "varnel.rs", "-C", "issue", "@entries.lst"}).status, 0);
  const ToolResult list = Rs({"list", "varnel.rs"});
  EXPECT_EQ(list.out.find("ARTS/menu.vn2"), 0u);
  EXPECT_NE(list.out.find("\nDATA/empty.bin 0 0 0\n"), std::string::npos);
  EXPECT_EQ(list.out.find("noise"), std::string::npos);
}

TEST_F(VarnelRsTest, FailuresShowTheReadersMessageAndExitOne) {
  ASSERT_EQ(Rs({"pack", "-o", "varnel.rs", "-C", "issue", "ARTS"}).status, 0);
  ToolResult missing = Rs({"extract", "varnel.rs", "DATA/p1.gif"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("File not in resource !\n[DATA/p1.gif]"), std::string::npos) << missing.err;
  EXPECT_TRUE(missing.out.empty()) << missing.out;

  WriteFile("broken.rs", std::string(300, 'x'));
  ToolResult broken = Rs({"list", "broken.rs"});
  EXPECT_EQ(broken.status, 1);
  EXPECT_NE(broken.err.find("Resource format error !"), std::string::npos) << broken.err;

  EXPECT_EQ(Rs({"list", "nothing-here.rs"}).status, 1);
  EXPECT_EQ(Rs({"pack", "-o", "x.rs", "-C", "issue", "no-such-file"}).status, 1);
  EXPECT_EQ(Rs({"frobnicate"}).status, 2);
  EXPECT_TRUE(TemporaryFilesHere().empty());
}

TEST_F(VarnelRsTest, UnpackRefusesNamesThatClimbOut) {
  std::string error;
  ASSERT_TRUE(tools::WriteArchive("evil.rs", {{"../escaped.txt", {'x'}}}, tools::PackMode::Store, &error));
  std::filesystem::create_directories("target");
  ToolResult result = Rs({"unpack", "evil.rs", "-d", "target/inner"});
  EXPECT_EQ(result.status, 1);
  EXPECT_FALSE(FileExists("target/escaped.txt"));
  EXPECT_NE(result.err.find("outside"), std::string::npos) << result.err;
}

TEST(ArchiveWriter, RefusesNamesTheReaderCannotHold) {
  std::vector<uint8_t> out;
  std::string error;
  EXPECT_FALSE(tools::EncodeArchiveEntry({std::string(257, 'n'), {}}, tools::PackMode::Store, &out, &error));
  EXPECT_FALSE(tools::EncodeArchiveEntry({"", {}}, tools::PackMode::Store, &out, &error));
  EXPECT_TRUE(tools::EncodeArchiveEntry({std::string(256, 'n'), {}}, tools::PackMode::Store, &out, &error));
  EXPECT_EQ(out.size(), 273u);
}

}  // namespace
