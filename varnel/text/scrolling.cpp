#include "varnel/text/scrolling.hpp"

#include <cstring>

#include "varnel/failure/fatal_error.hpp"

namespace varnel {

int32_t pageTurnPending = 0;
int32_t pageTurnDirection = 0;
Picture scrollBarPicture = {};

namespace {

const int32_t* softScrollSetting = nullptr;
const int32_t* plasmaLikeSetting = nullptr;

bool PageTurnsAnimated() {
  return (softScrollSetting && *softScrollSetting) || (plasmaLikeSetting && *plasmaLikeSetting);
}

int32_t WindowHeight(const Article* article) { return article->windowBottom - article->windowTop; }

// Whether some segment from `from` on ends `height` or more below `topY`:
// the rest of the article does not fit in the window.
bool RestOverflows(const Article* article, int32_t from, int32_t topY) {
  for (int32_t i = from; i < article->ArtLinesNum; ++i)
    if (article->segments[i].bottom - topY >= WindowHeight(article)) return true;
  return false;
}

}  // namespace

void BindPageTurnSettings(const int32_t* softScroll, const int32_t* plasmaLike) {
  softScrollSetting = softScroll;
  plasmaLikeSetting = plasmaLike;
}

SegmentRef FindTopSegment(Article* article) {
  if (article->ArtLinesNum <= 0) return {nullptr, -1};
  int32_t row = 0;
  int32_t rowTop = article->segments[0].top;
  for (int32_t i = 0; i < article->ArtLinesNum; ++i) {
    if (article->segments[i].top != rowTop) {
      ++row;
      rowTop = article->segments[i].top;
    }
    if (row == article->topRow) return {&article->segments[i], i};
  }
  return {nullptr, -1};
}

void LineUp(Article* article) {
  article->moreBelow = 1;
  if (article->topRow > 0) --article->topRow;
}

void LineDown(Article* article) {
  if (!article->moreBelow) return;
  const SegmentRef first = FindTopSegment(article);
  if (!first.segment) return;
  if (!RestOverflows(article, first.index, first.segment->top)) return;
  // Never past the last row that exists: line feeds inside tag arguments
  // count towards rowCount but start no row.
  const SegmentRef next = (++article->topRow, FindTopSegment(article));
  if (!next.segment || article->topRow > article->rowCount - 1) --article->topRow;
}

void PageForward(Article* article) {
  if (!article->moreBelow || article->topRow >= article->rowCount - 1) return;
  const SegmentRef first = FindTopSegment(article);
  if (!first.segment) return;
  const int32_t topY = first.segment->top;
  if (!RestOverflows(article, first.index, topY)) return;

  int32_t i = first.index;
  while (i < article->ArtLinesNum && article->segments[i].bottom - topY < WindowHeight(article)) {
    const int32_t rowTop = article->segments[i].top;
    while (i < article->ArtLinesNum && article->segments[i].top == rowTop) ++i;
    ++article->topRow;
  }
  // Stay on a row that exists: the walk may run off the last row, and
  // rowCount also counts line feeds inside tag arguments, which start none.
  if (i >= article->ArtLinesNum) --article->topRow;
  if (article->topRow >= article->rowCount) article->topRow = article->rowCount - 1;
  if (PageTurnsAnimated()) {
    pageTurnPending = 1;
    pageTurnDirection = 1;
  }
}

void PageBack(Article* article) {
  if (article->topRow <= 0) return;
  --article->topRow;
  SegmentRef found = FindTopSegment(article);
  while (!found.segment) {
    if (article->topRow <= 0) {
      article->moreBelow = 1;
      return;
    }
    --article->topRow;
    found = FindTopSegment(article);
  }
  if (found.index == 0) {
    article->moreBelow = 1;
    return;
  }

  const int32_t bottomY = found.segment->bottom;
  int32_t j = found.index;
  for (;;) {
    if (bottomY - article->segments[j].top >= WindowHeight(article)) break;
    const int32_t rowTop = article->segments[j].top;
    while (j >= 0 && article->segments[j].top == rowTop) --j;
    --article->topRow;
    if (j < 0) break;
  }
  ++article->topRow;
  if (article->topRow < 0) article->topRow = 0;
  if (PageTurnsAnimated()) {
    pageTurnPending = 1;
    pageTurnDirection = 2;
  }
  article->moreBelow = 1;
}

void DrawScrollBar(float position, ImageRef image) {
  if (scrollBarPicture.width != kScrollBarWidth || scrollBarPicture.height != kScrollBarHeight)
    FatalError("Bad scrollbar file !");
  if (position < 0.0f) position = 0.0f;
  if (position > 1.0f) position = 1.0f;
  const int32_t offset = 141 - static_cast<int32_t>(position * 141.0);
  for (int32_t r = 0; r < kScrollBarHeight; ++r) {
    std::memcpy(image.pixels + static_cast<size_t>(kScrollBarY + r) * image.width + kScrollBarX,
                scrollBarPicture.pixels + r * kScrollBarWidth + offset,
                kScrollBarWindow * sizeof(uint16_t));
  }
}

}  // namespace varnel
