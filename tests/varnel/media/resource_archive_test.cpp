#include "varnel/media/resource_archive.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <random>

#include "tests/support/scratch_dir.hpp"
#include "tests/varnel/media/archive_builder.hpp"

using namespace varnel;

using namespace testing_support;

namespace {

class ResourceArchiveTest : public ScratchDirTest {
 protected:
  void TearDown() override {
    CloseResourceArchive();
    ScratchDirTest::TearDown();
  }

  void WriteArchive(const std::vector<RawEntry>& entries) { WriteFile("varnel.rs", Archive(entries)); }

  // Extracts `name`, reads the file, deletes it again; returns the bytes.
  Bytes ExtractBytes(const char* name, std::string* tempName = nullptr) {
    char* file = ExtractResource(name);
    Bytes bytes = ReadFile(file);
    if (tempName) *tempName = file;
    DeleteExtracted(file);
    EXPECT_FALSE(FileExists(file)) << file;
    std::free(file);
    return bytes;
  }
};

Bytes RandomBytes(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  for (auto& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

TEST(ResourceNames, MatchFoldsLettersAndSlashesOnly) {
  EXPECT_TRUE(ResourceNamesMatch("DATA/p1.gif", "data\\P1.GIF"));
  EXPECT_TRUE(ResourceNamesMatch("ARTS\\menu.vn2", "arts/MENU.VN2"));
  EXPECT_FALSE(ResourceNamesMatch("DATA/p1.gif", "DATA/p1.gi"));
  EXPECT_FALSE(ResourceNamesMatch("DATA/p1.gif", "DATA/p1.gifx"));
  EXPECT_FALSE(ResourceNamesMatch("a[", "a{"));      // only a-z fold
  EXPECT_FALSE(ResourceNamesMatch("\xe4", "\xc4"));  // no folding beyond ASCII
  EXPECT_TRUE(ResourceNamesMatch("", ""));
}

TEST_F(ResourceArchiveTest, ExtractsByFoldedNameIntoNumberedFiles) {
  WriteArchive({Stored("DATA/p1.gif", TextBytes("scroll bar")), Stored("ARTS/help.txt", TextBytes("help"))});
  OpenResourceArchive();
  std::string first, second, third;
  EXPECT_EQ(ExtractBytes("data\\P1.GIF", &first), TextBytes("scroll bar"));
  EXPECT_EQ(ExtractBytes("ARTS/help.txt", &second), TextBytes("help"));
  EXPECT_EQ(ExtractBytes("DATA/p1.gif", &third), TextBytes("scroll bar"));
  EXPECT_EQ(first, "_#q_0.t$p");
  EXPECT_EQ(second, "_#q_1.t$p");
  EXPECT_EQ(third, "_#q_2.t$p");
  EXPECT_TRUE(TemporaryFilesHere().empty());
}

TEST_F(ResourceArchiveTest, DirectoryKeepsArchiveOrderAndFirstDuplicateWins) {
  WriteArchive({Stored("A", TextBytes("first")), Stored("B", TextBytes("b")), Stored("a", TextBytes("second"))});
  OpenResourceArchive();
  const ResourceDirectoryEntry* entry = ResourceDirectory();
  ASSERT_NE(entry, nullptr);
  EXPECT_STREQ(entry->name, "A");
  EXPECT_EQ(entry->dataOffset, kResourceHeaderSize);
  EXPECT_STREQ(entry->next->name, "B");
  EXPECT_STREQ(entry->next->next->name, "a");
  EXPECT_EQ(entry->next->next->next, nullptr);
  EXPECT_EQ(ExtractBytes("a"), TextBytes("first"));
}

TEST_F(ResourceArchiveTest, StoredEntriesOfEverySizeAroundTheCopyChunk) {
  std::vector<RawEntry> entries;
  const size_t sizes[] = {0, 1, 1023, 1024, 1025, 2048, 5000};
  for (size_t size : sizes) entries.push_back(Stored("f" + std::to_string(size), RandomBytes(size, size)));
  WriteArchive(entries);
  OpenResourceArchive();
  for (size_t size : sizes) EXPECT_EQ(ExtractBytes(("F" + std::to_string(size)).c_str()), RandomBytes(size, size));
}

TEST_F(ResourceArchiveTest, PackedEntriesUnpackToTheirBytes) {
  Bytes text;
  for (int i = 0; i < 2000; ++i) text.push_back(static_cast<uint8_t>("magazine "[i % 9]));
  WriteArchive({Packed("ARTS/a.txt", text), Packed("empty", {}), Packed("noise", RandomBytes(3000, 7)),
                Stored("plain", TextBytes("p"))});
  OpenResourceArchive();
  EXPECT_EQ(ExtractBytes("arts/A.TXT"), text);
  EXPECT_EQ(ExtractBytes("empty"), Bytes{});
  EXPECT_EQ(ExtractBytes("noise"), RandomBytes(3000, 7));
  EXPECT_EQ(ExtractBytes("plain"), TextBytes("p"));
}

TEST_F(ResourceArchiveTest, ClosedArchivePassesNamesThrough) {
  WriteFile("loose.txt", std::string("loose"));
  char* name = ExtractResource("loose.txt");
  EXPECT_STREQ(name, "loose.txt");
  DeleteExtracted(name);
  EXPECT_TRUE(FileExists("loose.txt"));
  std::free(name);
  EXPECT_EQ(ResourceDirectory(), nullptr);
}

TEST_F(ResourceArchiveTest, NameUsingAllKeptBytesStaysTerminated) {
  const std::string longName(kResourceNameKept, 'n');
  WriteArchive({Stored(longName, TextBytes("x"))});
  OpenResourceArchive();
  EXPECT_EQ(std::string(ResourceDirectory()->name), longName);
  EXPECT_EQ(ExtractBytes(longName.c_str()), TextBytes("x"));
}

TEST_F(ResourceArchiveTest, StaleFileOrLinkUnderTheTemporaryNameIsNeverFollowed) {
  WriteArchive({Stored("A", TextBytes("fresh"))});
  WriteFile("victim", std::string("keep me"));
  ASSERT_EQ(symlink("victim", "_#q_0.t$p"), 0);
  WriteFile("_#q_1.t$p", std::string("stale contents that are longer"));
  OpenResourceArchive();
  EXPECT_EQ(ExtractBytes("A"), TextBytes("fresh"));
  EXPECT_EQ(ExtractBytes("A"), TextBytes("fresh"));
  EXPECT_EQ(ReadFile("victim"), TextBytes("keep me"));
}

// --- fatal paths -----------------------------------------------------------

using ResourceArchiveDeathTest = ResourceArchiveTest;

TEST_F(ResourceArchiveDeathTest, MissingArchive) {
  EXPECT_EXIT(OpenResourceArchive(), testing::ExitedWithCode(1), "ERROR: Cannot open resource file !");
}

TEST_F(ResourceArchiveDeathTest, EmptyOrCutHeaderIsAReadError) {
  WriteFile("varnel.rs", Bytes{});
  EXPECT_EXIT(OpenResourceArchive(), testing::ExitedWithCode(1), "ERROR: Read error !");
  Bytes cut = Archive({Stored("A", TextBytes("a"))});
  Bytes twoHeaders = cut;
  twoHeaders.insert(twoHeaders.end(), cut.begin(), cut.begin() + 100);
  WriteFile("varnel.rs", twoHeaders);
  EXPECT_EXIT(OpenResourceArchive(), testing::ExitedWithCode(1), "ERROR: Read error !");
}

TEST_F(ResourceArchiveDeathTest, WrongMagicAnywhere) {
  RawEntry bad = Stored("B", TextBytes("b"));
  bad.magic = 1639;
  WriteArchive({Stored("A", TextBytes("a")), bad});
  EXPECT_EXIT(OpenResourceArchive(), testing::ExitedWithCode(1), "ERROR: Resource format error !");
}

TEST_F(ResourceArchiveDeathTest, LastEntryCutShortIsAReadError) {
  Bytes text;
  for (int i = 0; i < 3000; ++i) text.push_back(static_cast<uint8_t>("cut short "[i % 10]));
  const Bytes stored = Archive({Stored("A", TextBytes("a")), Stored("B", text)});
  const Bytes packed = Archive({Stored("A", TextBytes("a")), Packed("B", text)});
  for (const Bytes& whole : {stored, packed}) {
    for (size_t cut : {size_t{1}, size_t{1000}, whole.size() - 2 * kResourceHeaderSize - 1}) {
      WriteFile("varnel.rs", Bytes(whole.begin(), whole.end() - static_cast<long>(cut)));
      EXPECT_EXIT(OpenResourceArchive(), testing::ExitedWithCode(1), "ERROR: Read error !") << cut;
    }
  }
  // A header that claims one byte more than the file holds.
  RawEntry pastEnd = Stored("A", TextBytes("abc"));
  pastEnd.storedSize = 4;
  WriteArchive({pastEnd});
  EXPECT_EXIT(OpenResourceArchive(), testing::ExitedWithCode(1), "ERROR: Read error !");
}

TEST_F(ResourceArchiveDeathTest, BadMagicWinsOverASizeThatLeavesTheFile) {
  RawEntry bad = Stored("A", TextBytes("abc"));
  bad.magic = 0;
  bad.storedSize = 1 << 20;
  WriteArchive({bad});
  EXPECT_EXIT(OpenResourceArchive(), testing::ExitedWithCode(1), "ERROR: Resource format error !");
}

TEST_F(ResourceArchiveDeathTest, NegativeSizesAreFormatErrors) {
  RawEntry negative = Stored("A", TextBytes("abc"));
  negative.storedSize = -276;  // would seek back to the start: an endless scan
  WriteArchive({negative});
  EXPECT_EXIT(OpenResourceArchive(), testing::ExitedWithCode(1), "ERROR: Resource format error !");

  RawEntry negativeUnpacked = Packed("A", TextBytes("abc"));
  negativeUnpacked.unpackedSize = -1;
  WriteArchive({negativeUnpacked});
  EXPECT_EXIT(OpenResourceArchive(), testing::ExitedWithCode(1), "ERROR: Resource format error !");
}

TEST_F(ResourceArchiveDeathTest, NameNotInArchiveEvenWhenALooseFileExists) {
  WriteArchive({Stored("A", TextBytes("a"))});
  WriteFile("DATA", std::string("loose"));
  OpenResourceArchive();
  EXPECT_EXIT(ExtractResource("DATA"), testing::ExitedWithCode(1),
              "ERROR: File not in resource !\n\\[DATA\\]");
}

TEST_F(ResourceArchiveDeathTest, UnpackedSizeMismatchIsAHuffmanError) {
  RawEntry oneShort = Packed("A", TextBytes("hello world"));
  oneShort.unpackedSize += 1;  // the stream gives one byte fewer
  RawEntry damaged = Packed("B", TextBytes("hello world"));
  damaged.data.resize(damaged.data.size() - 1);  // the end symbol is cut off
  damaged.storedSize -= 1;
  RawEntry tooLarge = Packed("C", TextBytes("hello world"));
  tooLarge.unpackedSize = 1 << 30;  // more than the stream could ever hold
  WriteArchive({oneShort, damaged, tooLarge});
  OpenResourceArchive();
  for (const char* name : {"A", "B", "C"})
    EXPECT_EXIT(ExtractResource(name), testing::ExitedWithCode(1), "ERROR: HUFF decompresion error !");
}

TEST_F(ResourceArchiveDeathTest, ArchiveGoneAfterTheScan) {
  WriteArchive({Stored("A", TextBytes("a"))});
  OpenResourceArchive();
  unlink("varnel.rs");
  EXPECT_EXIT(ExtractResource("A"), testing::ExitedWithCode(1), "ERROR: Cannot open resource file !");
}

TEST_F(ResourceArchiveDeathTest, UnwritableDirectory) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
  WriteArchive({Stored("A", TextBytes("a"))});
  OpenResourceArchive();
  chmod(".", 0500);
  EXPECT_EXIT(ExtractResource("A"), testing::ExitedWithCode(1),
              "ERROR: Cannot extact files from resource !\n\\[write/rights error\\] !");
  chmod(".", 0700);
}

TEST_F(ResourceArchiveDeathTest, FatalExitRemovesTheTemporaryFilesOfThisRun) {
  WriteArchive({Stored("A", TextBytes("a")), Stored("B", TextBytes("b"))});
  OpenResourceArchive();
  EXPECT_EXIT(
      {
        ExtractResource("A");  // never deleted by its loader
        ExtractResource("B");
        ExtractResource("missing");
      },
      testing::ExitedWithCode(1), "File not in resource");
  EXPECT_TRUE(TemporaryFilesHere().empty());
}

}  // namespace
