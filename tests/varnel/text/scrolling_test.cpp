#include "varnel/text/scrolling.hpp"

#include <gtest/gtest.h>

#include "tests/varnel/text/text_fixture.hpp"

using namespace varnel;

using namespace testing_support;

namespace {

using ScrollingTest = TextEngineTest;
using ScrollingDeathTest = TextEngineTest;

TEST_F(ScrollingTest, FindTopSegmentCountsRowsByTop) {
  Article& a = Parse("<#FTPE BITS#>a<#COLR 1#>b\r\nc\r\n");
  a.topRow = 1;
  SegmentRef found = FindTopSegment(&a);
  EXPECT_EQ(found.index, 3);
  EXPECT_STREQ(found.segment->text, "c");
  a.topRow = 3;
  EXPECT_EQ(FindTopSegment(&a).index, -1);
  EXPECT_EQ(FindTopSegment(&a).segment, nullptr);
}

TEST_F(ScrollingTest, PagesOfSeventeenRowsForwardAndBack) {
  Article& a = Parse(BitmapLines(100));
  a.topRow = 40;
  PageBack(&a);
  EXPECT_EQ(a.topRow, 23);
  EXPECT_EQ(pageTurnPending, 1);
  EXPECT_EQ(pageTurnDirection, 2);
  EXPECT_EQ(a.moreBelow, 1);
  PageForward(&a);
  EXPECT_EQ(a.topRow, 40);
  EXPECT_EQ(pageTurnDirection, 1);
}

TEST_F(ScrollingTest, PageBackToTheFirstRowRequestsNoTransition) {
  Article& a = Parse(BitmapLines(100));
  a.topRow = 1;
  a.moreBelow = 0;
  PageBack(&a);
  EXPECT_EQ(a.topRow, 0);
  EXPECT_EQ(a.moreBelow, 1);
  EXPECT_EQ(pageTurnPending, 0);
  PageBack(&a);
  LineUp(&a);
  EXPECT_EQ(a.topRow, 0);
}

TEST_F(ScrollingTest, NothingMovesWhileTheRestFits) {
  Article& a = Parse(BitmapLines(10));
  LineDown(&a);
  PageForward(&a);
  EXPECT_EQ(a.topRow, 0);
  EXPECT_TRUE(DrawArticlePage(&a));
  EXPECT_EQ(a.moreBelow, 0);
}

TEST_F(ScrollingTest, EndStopsOnThePageThatShowsTheLastRow) {
  Article& a = Parse(BitmapLines(100));  // 100 lines, the added one, 102 rows
  for (int i = 0; i < 1000; ++i) PageForward(&a);
  // The last page starts where the remaining rows fit in 280 pixels.
  EXPECT_EQ(a.topRow, 85);
  for (int i = 0; i < 1000; ++i) PageBack(&a);
  EXPECT_EQ(a.topRow, 0);
}

TEST_F(ScrollingTest, LineMovesAndNoTransitionWhenAnimationIsOff) {
  softScroll_ = 0;
  plasmaLike_ = 0;
  Article& a = Parse(BitmapLines(40));
  LineDown(&a);
  LineDown(&a);
  EXPECT_EQ(a.topRow, 2);
  PageForward(&a);
  EXPECT_EQ(pageTurnPending, 0);
  plasmaLike_ = 1;
  PageBack(&a);
  EXPECT_EQ(pageTurnPending, 1);
  LineUp(&a);
  EXPECT_EQ(a.moreBelow, 1);
}

TEST_F(ScrollingTest, LineFeedsInsideTagsNeverMovePastTheLastRow) {
  // Twenty line feeds inside a title add to rowCount but start no row; a
  // tall segment late in the first row makes the page walk run off the end.
  const std::string text = "<#TITL " + std::string(20, '\n') +
                           "#><#FTPE BITS#>a<#FTSZ 8, 300#>b<#FTSZ 8, 16#>\r\n";
  Article& a = Parse(text);
  ASSERT_EQ(a.rowCount, 22);
  PageForward(&a);
  EXPECT_EQ(a.topRow, 1);
  EXPECT_NE(FindTopSegment(&a).segment, nullptr);
  EXPECT_TRUE(DrawArticlePage(&a));
}

TEST_F(ScrollingTest, ScrollBarWindowSlidesWithThePosition) {
  std::vector<uint16_t> page(640 * 480);
  const ImageRef image{640, 480, page.data()};
  DrawScrollBar(1.5f, image);  // clamped to 1: from column 0
  EXPECT_EQ(page[396 * 640 + 97], 1);
  EXPECT_EQ(page[414 * 640 + 97 + 139], 140);
  EXPECT_EQ(page[396 * 640 + 96], 0);
  EXPECT_EQ(page[396 * 640 + 237], 0);
  DrawScrollBar(-0.2f, image);  // clamped to 0: from column 141
  EXPECT_EQ(page[396 * 640 + 97], 142);
  DrawScrollBar(0.5f, image);  // 141 - 70
  EXPECT_EQ(page[400 * 640 + 97], 72);
}

TEST_F(ScrollingDeathTest, ScrollBarOfTheWrongSize) {
  std::vector<uint16_t> page(640 * 480);
  scrollBarPicture.width = 281;
  EXPECT_EXIT(DrawScrollBar(0.5f, {640, 480, page.data()}), testing::ExitedWithCode(1),
              "ERROR: Bad scrollbar file !");
  scrollBarPicture.width = 282;
}

}  // namespace
