// Data archives written by the engine's writer and read back by its reader:
// loose names, binary content, the same bytes every time, refusals.
#include <gtest/gtest.h>

#include <cstring>

#include "kestrel/archive/archive.hpp"
#include "kestrel/archive/archive_writer.hpp"
#include "tests/support/scratch_dir.hpp"

namespace kestrel {
namespace {

using testing_support::Bytes;
using testing_support::FileExists;
using testing_support::ReadFile;

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

// Bytes that deflate well but not trivially.
Bytes Pattern(size_t size) {
  Bytes bytes(size);
  uint32_t state = 12345;
  for (size_t i = 0; i < size; ++i) {
    state = state * 1103515245u + 12345u;
    bytes[i] = static_cast<uint8_t>(i % 7 == 0 ? state >> 24 : i & 0xFF);
  }
  return bytes;
}

Bytes ReadThroughHandle(const char* name) {
  ArchiveFile* file = AlfOpen(name, "rb");
  if (!file) return Text("<missing>");
  int32_t size = 0;
  std::memcpy(&size, file, sizeof size);
  Bytes bytes(static_cast<size_t>(size));
  const size_t read = AlfRead(bytes.data(), 1, bytes.size(), file);
  AlfClose(file);
  bytes.resize(read);
  return bytes;
}

class ArchiveWriter : public testing_support::ScratchDirTest {
 protected:
  void TearDown() override {
    AlfShutdown();
    ScratchDirTest::TearDown();
  }
  std::string error_;
};

TEST(ArchiveEntryNames, SeparatorsAndDotsFoldAndUnstorableNamesAreEmpty) {
  EXPECT_EQ(ArchiveEntryName("scenes\\PicSpiral.lws"), "scenes/PicSpiral.lws");
  EXPECT_EQ(ArchiveEntryName("a/./b/../c.jpg"), "a/c.jpg");
  for (const char* bad : {"", ".", "..", "../x", "a/../../x", "/abs", "dir/", "dir\\"})
    EXPECT_EQ(ArchiveEntryName(bad), "") << bad;
}

TEST_F(ArchiveWriter, ReaderFindsEveryEntryByLooseName) {
  const Bytes big = Pattern(300000);
  ASSERT_TRUE(WriteArchive("data.alf",
                           {{"Scenes\\PicSpiral.lws", Text("LWSC\n3\n")},
                            {"objects/Cube.LWO", big},
                            {"marigold.xm", Text("Extended Module: ")},
                            {"empty.txt", {}}},
                           &error_))
      << error_;
  ASSERT_TRUE(AlfInit("data.alf"));
  EXPECT_EQ(ArchiveFileNames(),
            (std::vector<std::string>{"Scenes/PicSpiral.lws", "empty.txt", "marigold.xm", "objects/Cube.LWO"}));
  EXPECT_EQ(ReadThroughHandle("scenes\\picspiral.LWS"), Text("LWSC\n3\n"));
  EXPECT_EQ(ReadThroughHandle("OBJECTS/cube.lwo"), big);
  EXPECT_EQ(ReadThroughHandle("Marigold.XM"), Text("Extended Module: "));
  EXPECT_EQ(ReadThroughHandle("empty.txt"), Bytes{});
  EXPECT_EQ(AlfOpen("PicSpiral.lws", "rb"), nullptr);
  // Deflated: the archive is smaller than what it holds.
  EXPECT_LT(ReadFile("data.alf").size(), big.size());
}

TEST_F(ArchiveWriter, SameEntriesGiveTheSameBytesInAnyOrder) {
  std::vector<ArchiveEntry> entries{{"b/two.bin", Pattern(5000)}, {"a\\one.txt", Text("one")}, {"c.txt", Text("c")}};
  ASSERT_TRUE(WriteArchive("first.alf", entries, &error_)) << error_;
  std::swap(entries[0], entries[2]);
  ASSERT_TRUE(WriteArchive("second.alf", entries, &error_)) << error_;
  const Bytes first = ReadFile("first.alf");
  EXPECT_EQ(first, ReadFile("second.alf"));
  // The first local header's modification time and date: a fixed day, not
  // the time of writing.
  ASSERT_GT(first.size(), 14u);
  EXPECT_EQ(first[10] | first[11] << 8, 0);
  EXPECT_EQ(first[12] | first[13] << 8, (20 << 9) | (1 << 5) | 1);
}

TEST_F(ArchiveWriter, RefusesNamesTheReaderCouldNotTellApartAndKeepsTheOldFile) {
  testing_support::WriteFile("data.alf", std::string("old"));
  EXPECT_FALSE(WriteArchive("data.alf", {{"a/B.txt", Text("1")}, {"A\\b.TXT", Text("2")}}, &error_));
  EXPECT_NE(error_.find("a/B.txt"), std::string::npos) << error_;
  EXPECT_FALSE(WriteArchive("data.alf", {{"../outside.txt", Text("1")}}, &error_));
  EXPECT_NE(error_.find("../outside.txt"), std::string::npos) << error_;
  EXPECT_FALSE(WriteArchive("data.alf", {{"", Text("1")}}, &error_));
  EXPECT_EQ(ReadFile("data.alf"), Text("old"));
}

TEST_F(ArchiveWriter, ReplacesAnExistingArchive) {
  ASSERT_TRUE(WriteArchive("data.alf", {{"old.txt", Text("old")}}, &error_)) << error_;
  ASSERT_TRUE(WriteArchive("data.alf", {{"new.txt", Text("new")}}, &error_)) << error_;
  ASSERT_TRUE(AlfInit("data.alf"));
  EXPECT_EQ(ArchiveFileNames(), std::vector<std::string>{"new.txt"});
}

TEST_F(ArchiveWriter, AnEmptyArchiveIsWrittenAndOpens) {
  ASSERT_TRUE(WriteArchive("empty.alf", {}, &error_)) << error_;
  ASSERT_TRUE(AlfInit("empty.alf"));
  EXPECT_TRUE(ArchiveFileNames().empty());
  EXPECT_FALSE(FileExists("empty.alf.part"));
}

TEST_F(ArchiveWriter, AnUnwritablePathFailsWithItsName) {
  EXPECT_FALSE(WriteArchive("no/such/folder/data.alf", {{"a.txt", Text("a")}}, &error_));
  EXPECT_NE(error_.find("no/such/folder/data.alf"), std::string::npos) << error_;
  EXPECT_FALSE(WriteArchive("no/such/folder/empty.alf", {}, &error_));
  EXPECT_NE(error_.find("no/such/folder/empty.alf"), std::string::npos) << error_;
}

}  // namespace
}  // namespace kestrel
