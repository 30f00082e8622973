#include "varnel/text/article_parser.hpp"

#include <gtest/gtest.h>

#include "tests/varnel/media/archive_builder.hpp"
#include "tests/varnel/text/text_fixture.hpp"

using namespace varnel;

using namespace testing_support;

namespace {

using ArticleParserTest = TextEngineTest;
using ArticleParserDeathTest = TextEngineTest;

std::string SegmentText(const TextSegment& segment) { return segment.text ? segment.text : ""; }

TEST_F(ArticleParserTest, EmptyFileIsOneRowWithOneEmptySegment) {
  Article& a = Parse("");
  EXPECT_EQ(a.rowCount, 1);
  ASSERT_EQ(a.ArtLinesNum, 1);
  EXPECT_EQ(Segment(0).text, nullptr);
  EXPECT_EQ(Segment(0).left, 0);
  EXPECT_EQ(Segment(0).top, 0);
  EXPECT_EQ(Segment(0).bottom, 16);
  EXPECT_EQ(a.moreBelow, 1);
  EXPECT_STREQ(a.fileName, "article.txt");
}

TEST_F(ArticleParserTest, LineEndsKeepEveryLetter) {
  // CR LF, no line end at all, and a bare line feed all keep "abc".
  for (const char* text : {"abc\r\n", "abc", "abc\n"}) {
    Article& a = Parse(text);
    ASSERT_GE(a.ArtLinesNum, 1) << text;
    EXPECT_EQ(SegmentText(Segment(0)), "abc") << text;
    EXPECT_EQ(Segment(0).length, 3);
  }
  Article& a = Parse("one\ntwo\r\nthree");
  EXPECT_EQ(SegmentText(Segment(0)), "one");
  EXPECT_EQ(SegmentText(Segment(1)), "two");
  EXPECT_EQ(SegmentText(Segment(2)), "three");
  EXPECT_EQ(a.rowCount, 3);
}

TEST_F(ArticleParserTest, OnlyKnownPrefixesMakeTags) {
  Article& a = Parse("x<#BOLD#>y<#COxy#>z");
  EXPECT_EQ(SegmentText(Segment(0)), "x<#BOLD#>y");
  EXPECT_EQ(SegmentText(Segment(1)), "z");
  EXPECT_EQ(Segment(1).left, Segment(0).right);
  EXPECT_EQ(a.ArtLinesNum, 2);
}

TEST_F(ArticleParserTest, TagsLeaveEmptySegmentsThatKeepLinesPresent) {
  Article& a = Parse("<#JUST#><#JEND#>ab\r\n\r\nc");
  EXPECT_EQ(Segment(0).text, nullptr);  // before the first tag, at x = 0
  EXPECT_EQ(Segment(0).left, 0);
  EXPECT_EQ(Segment(1).text, nullptr);  // between the two tags
  EXPECT_EQ(SegmentText(Segment(2)), "ab");
  EXPECT_EQ(Segment(3).text, nullptr);  // the empty line
  EXPECT_EQ(Segment(3).top, 16);
  EXPECT_EQ(SegmentText(Segment(4)), "c");
  EXPECT_EQ(Segment(4).top, 32);
  EXPECT_EQ(a.rowCount, 3);
}

TEST_F(ArticleParserTest, BitmapModeAdvancesByTheGlyphWidth) {
  Parse("<#FTPE BITS#>abcd<#FTPE BOLD#>ef\r\n<#FTNM Arial#>g");
  EXPECT_EQ(Segment(1).bitmapText, 1);
  EXPECT_EQ(Segment(1).font, nullptr);
  EXPECT_EQ(Segment(1).right, 32);
  // BOLD does not leave bitmap mode; only a face name does.
  EXPECT_EQ(Segment(2).bitmapText, 1);
  EXPECT_EQ(Segment(2).left, 32);
  EXPECT_EQ(Segment(2).right, 48);
  EXPECT_EQ(Segment(4).bitmapText, 0);
  EXPECT_NE(Segment(4).font, nullptr);
}

TEST_F(ArticleParserTest, FontSizeTakesEffectFromTheTagOn) {
  Parse("<#FTPE BITS#>ab<#FTSZ 10, 20#>cd\r\nef\r\n<#FTSZ 0x0C, 010#>g");
  EXPECT_EQ(Segment(1).bottom, 16);  // before the tag: the old height
  EXPECT_EQ(Segment(2).bottom, 20);
  EXPECT_EQ(Segment(2).right, 16 + 2 * 10);  // the new width is the advance
  EXPECT_EQ(Segment(3).top, 20);  // the pen moves by the height in force at the line feed
  EXPECT_EQ(Segment(3).bottom, 40);
  EXPECT_EQ(Segment(5).top, 40);
  EXPECT_EQ(Segment(5).bottom, 40 + 8);  // hexadecimal and octal as scanf reads them
  EXPECT_EQ(Segment(5).right, 12);
}

TEST_F(ArticleParserTest, ColourAndStylesAreTakenPerSegment) {
  Parse("a<#COLR FF8001#>b<#COLR nothing#>c");
  EXPECT_EQ(Segment(0).red, 128);
  EXPECT_EQ(Segment(1).red, 0xFF);
  EXPECT_EQ(Segment(1).green, 0x80);
  EXPECT_EQ(Segment(1).blue, 0x01);
  EXPECT_EQ(Segment(2).red, 0xFF);  // unreadable colour: unchanged
}

TEST_F(ArticleParserTest, LinkAcrossALineEndIsOneSharedString) {
  Parse("<#SELC ART:next.txt#>first\r\nsecond<#ENDS#> after");
  EXPECT_EQ(Segment(1).isLink, 1);
  ASSERT_NE(Segment(1).link, nullptr);
  EXPECT_STREQ(Segment(1).link, "ART:next.txt");
  EXPECT_EQ(Segment(2).link, Segment(1).link);
  EXPECT_EQ(Segment(3).link, nullptr);
  EXPECT_EQ(Segment(3).isLink, 0);
}

TEST_F(ArticleParserTest, LinksWithoutTextAreReleasedToo) {
  // ASan's leak check sees a link string that no segment refers to.
  Parse("<#SELC never used#><#ENDS#><#SELC #>x<#ENDS#>");
  EXPECT_STREQ(Segment(3).link, "");
}

TEST_F(ArticleParserTest, TitleKeepsAtMost62BytesOverwritingTheStart) {
  Article& a = Parse("<#TITL " + std::string(80, 'T') + "#><#TITL short#>");
  EXPECT_EQ(std::string(a.title), "short" + std::string(57, 'T'));
}

TEST_F(ArticleParserTest, TwoColumnsAndJustificationAtTheColumnWidth) {
  Article& a = Parse("<#TWOC#><#FTPE BITS#><#JUST#>aaaa bbbb\r\n");
  EXPECT_EQ(a.twoColumns, 1);
  const TextSegment& row = Segment(3);
  EXPECT_EQ(SegmentText(row), "aaaa bbbb");
  EXPECT_EQ(row.left, 8);
  EXPECT_EQ(row.right, kTwoColumnWidth);
}

TEST_F(ArticleParserTest, JustificationSharesFreeSpaceByByteCount) {
  // 72 pixels of text; free 560 over 9.5 bytes: each byte 58.947 pixels.
  Parse("<#FTPE BITS#><#JUST#>aaaa <#COLR 00FF00#>bbbb\r\nshort\r\n");
  const TextSegment& first = Segment(2);
  const TextSegment& second = Segment(3);
  EXPECT_EQ(first.left, 8);
  EXPECT_EQ(first.right, 8 + 40 + static_cast<int>(560 / 9.5f * 5));
  EXPECT_EQ(second.left, first.right);
  EXPECT_EQ(second.right, kColumnWidth);
  // Every following row of the still justified text is stretched too.
  EXPECT_EQ(Segment(4).right, kColumnWidth);
  EXPECT_EQ(Segment(4).left, 8);
}

TEST_F(ArticleParserTest, RowWiderThanTheColumnKeepsItsPositions) {
  Parse("<#FTPE BITS#><#JUST#>" + std::string(90, 'w'));
  EXPECT_EQ(Segment(2).left, 0);
  EXPECT_EQ(Segment(2).right, kColumnWidth);
}

TEST_F(ArticleParserTest, JustifiedGdiSegmentsLearnTheirBreaks) {
  Parse("<#JUST#>two spaces here\r\n");
  const TextSegment& segment = Segment(1);
  ASSERT_EQ(segment.justified, 1);
  EXPECT_EQ(segment.breakCount, 2);
  EXPECT_GT(segment.breakExtra, 0);
  EXPECT_EQ(segment.charExtra, 0);
}

TEST_F(ArticleParserTest, IconsInEveryFormAndSharedPictures) {
  WriteFile("red.gif", OnePixelGif(255, 0, 0));
  WriteFile("blue.gif", OnePixelGif(0, 0, 255));
  Article& a = Parse("ab<#ICON red.gif#>c<#ICON RED.GIF*blue.gif*ART:x.txt#>\r\n<#ICON red.gif*blue.gif#>");
  ArticlePicture* first = a.pictures;
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->hasHover, 0);
  EXPECT_EQ(first->x, 16);
  EXPECT_EQ(first->picture.pixels[0], 0x7C00);
  ArticlePicture* second = first->next;
  EXPECT_EQ(second->pictureShared, 1);  // the same file in other letter case
  EXPECT_EQ(second->picture.pixels, first->picture.pixels);
  EXPECT_EQ(second->hoverShared, 0);
  EXPECT_STREQ(second->link, "ART:x.txt");
  EXPECT_EQ(second->x, 24);
  ArticlePicture* third = second->next;
  EXPECT_STREQ(third->hoverFile, "blue.gif");  // one '*': the rest is the hover file
  EXPECT_STREQ(third->link, "");
  EXPECT_EQ(third->hoverShared, 1);
  EXPECT_EQ(third->y, 16);
}

TEST_F(ArticleParserTest, SaveTextDropsEveryTagSpanAndPicksTheNextFreeName) {
  Parse("Hello <#BOLD#>world<#JUST#>!\r\n<#XY never closed");
  WriteFile("art-0.txt", std::string("taken"));
  WriteFile("art-1.txt", std::string("taken"));
  SaveArticleText(&article_);
  EXPECT_EQ(ReadFile("art-2.txt"), TextBytes("Hello world!\r\n"));
  EXPECT_EQ(ReadFile("art-0.txt"), TextBytes("taken"));
  SaveArticleText(&article_);
  EXPECT_TRUE(FileExists("art-3.txt"));
}

TEST(SameFileName, FoldsLettersAndSlashes) {
  EXPECT_EQ(SameFileName("DATA/a.gif", "data\\A.GIF"), 0);
  EXPECT_EQ(SameFileName("a.gif", "a.gi"), 1);
  EXPECT_EQ(SameFileName("a.gif", "b.gif"), 1);
}

TEST_F(ArticleParserDeathTest, TagWithoutClosingMarker) {
  EXPECT_EXIT(Parse("text <#SELC ART:x.txt never closed\r\n"), testing::ExitedWithCode(1),
              "ERROR: Unexpected end of file !");
}

TEST_F(ArticleParserDeathTest, MissingPictureOrFont) {
  EXPECT_EXIT(Parse("<#ICON none.gif#>"), testing::ExitedWithCode(1), "ERROR: Load Binary Error - file: none.gif !");
  EXPECT_EXIT(Parse("<#ICON picture#>"), testing::ExitedWithCode(1), "ERROR: File w/o extension !");
  EXPECT_EXIT(ParseArticle(&article_, "article.txt", 105, 385, nullptr), testing::ExitedWithCode(1),
              "ERROR: Allocator Error !");
}

}  // namespace
