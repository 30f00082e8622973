// varnel-art run as a user runs it: the whole sample issue, twice.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "tests/support/scratch_dir.hpp"
#include "tests/support/tool_runner.hpp"
#include "tests/tools/varnel_art/art_test_support.hpp"

using namespace varnel;

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

ToolResult Art(const std::vector<std::string>& args) { return RunTool(VARNEL_ART_PATH, args); }

std::map<std::string, Bytes> FilesUnder(const std::string& root) {
  std::map<std::string, Bytes> files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file())
      files[fs::relative(entry.path(), root).string()] = ReadFile(entry.path().string());
  return files;
}

using VarnelArtToolTest = ScratchDirTest;

TEST_F(VarnelArtToolTest, SameArgumentsGiveSameBytes) {
  // The default manifest is the sample issue's own list.
  ToolResult first = Art({"-o", "one", "--list"});
  ASSERT_EQ(first.status, 0) << first.err;
  ASSERT_EQ(Art({"-o", "two"}).status, 0);
  const auto one = FilesUnder("one"), two = FilesUnder("two");
  ASSERT_GE(one.size(), 7u);
  EXPECT_EQ(one, two);
  for (const char* name : {"DATA/font1.fnt", "DATA/panel0.png", "DATA/panel1.png", "DATA/p1.gif",
                           "DATA/pmap.gif", "DATA/begcvr.jpg", "DATA/endcvr.jpg"}) {
    EXPECT_EQ(one.count(name), 1u) << name;
    EXPECT_NE(first.out.find(name), std::string::npos) << name;
  }
  EXPECT_EQ(one.at("DATA/font1.fnt").size(), 4096u);
}

TEST_F(VarnelArtToolTest, TitleAndIssueChangeTheArtwork) {
  WriteFile("none.txt", std::string("# no pictures\n"));
  ASSERT_EQ(Art({"-o", "a", "--manifest", "none.txt"}).status, 0);
  ASSERT_EQ(Art({"-o", "b", "--manifest", "none.txt", "--title", "BRINE", "--issue", "12"}).status,
            0);
  const auto a = FilesUnder("a"), b = FilesUnder("b");
  EXPECT_EQ(a.size(), 7u);
  EXPECT_NE(a.at("DATA/begcvr.jpg"), b.at("DATA/begcvr.jpg"));
  EXPECT_NE(a.at("DATA/panel0.png"), b.at("DATA/panel0.png"));
  EXPECT_EQ(a.at("DATA/pmap.gif"), b.at("DATA/pmap.gif"));
}

TEST_F(VarnelArtToolTest, FailuresExplainThemselves) {
  WriteFile("bad.txt", std::string("PICS/a.gif 28x28 fine\nPICS/b.gif big\n"));
  ToolResult bad = Art({"-o", "out", "--manifest", "bad.txt"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("bad.txt:2: the size must be WIDTHxHEIGHT"), std::string::npos) << bad.err;
  EXPECT_FALSE(fs::exists("out/DATA/panel0.png"));  // nothing is painted from a broken list
  ToolResult missing = Art({"-o", "out", "--manifest", "absent.txt"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot read"), std::string::npos) << missing.err;
  EXPECT_EQ(Art({"-o", "out", "--issue", "1000"}).status, 1);
  EXPECT_EQ(Art({"-o", "out", "--title", ""}).status, 1);
  EXPECT_EQ(Art({}).status, 2);
  EXPECT_EQ(Art({"-o", "out", "--bogus"}).status, 2);
}

}  // namespace
