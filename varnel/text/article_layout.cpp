#include "varnel/text/article_layout.hpp"

#include <cmath>

#include "varnel/failure/fatal_error.hpp"

namespace varnel {

using namespace platform;

namespace {

// float to int truncating toward zero, saturating instead of overflowing.
int32_t Truncate(float value) {
  if (!(value > -2147483648.0f)) return INT32_MIN;
  if (!(value < 2147483648.0f)) return INT32_MAX;
  return static_cast<int32_t>(value);
}

}  // namespace

void JustifyRows(Article* article) {
  const int32_t columnWidth = article->twoColumns == 1 ? kTwoColumnWidth : kColumnWidth;
  TextSegment* segments = article->segments;
  int32_t c = 0;
  while (c < article->ArtLinesNum) {
    if (!segments[c].justified) {
      ++c;
      continue;
    }
    // The row: the run of segments sharing the top of the first; only the
    // first one's flag decides.
    int32_t k = 1;
    while (c + k < article->ArtLinesNum && segments[c + k].top == segments[c].top) ++k;
    TextSegment* row = segments + c;
    TextSegment& last = row[k - 1];

    const int64_t freePixels = static_cast<int64_t>(columnWidth) - last.right;
    if (freePixels > 0) {
      int64_t totalTextLength = 0;
      for (int32_t j = 0; j < k; ++j) totalTextLength += row[j].length;
      if (totalTextLength <= 0) FatalError("TotalTextLen <= 0");
      const auto f = static_cast<float>(static_cast<double>(freePixels) /
                                        (static_cast<double>(totalTextLength) + 0.5));
      int32_t pen = WrapAdd(row[0].left, 8);
      for (int32_t j = 0; j < k; ++j) {
        const int32_t width = WrapAdd(row[j].right, -row[j].left);
        const int32_t extra = Truncate(f * static_cast<float>(row[j].length));
        row[j].left = pen;
        row[j].right = WrapAdd(WrapAdd(pen, width), extra);
        pen = row[j].right;
      }
    }
    last.right = columnWidth;
    c += k;
  }
}

void MeasureBreaks(Article* article) {
  const HDC dc = textSurface.CompatibleHDC;
  for (int32_t c = 0; c < article->ArtLinesNum; ++c) {
    TextSegment& segment = article->segments[c];
    if (segment.justified != 1) continue;
    SelectObject(dc, segment.font);
    SetTextCharacterExtra(dc, 0);
    SetTextJustification(dc, 0, 0);
    SIZE extent = {0, 0};
    GetTextExtentPoint32A(dc, segment.text, segment.length, &extent);
    const int32_t extra = WrapAdd(WrapAdd(segment.right, -segment.left), -extent.cx);
    if (extra > 0) {
      segment.breakExtra = extra;
      segment.charExtra = 0;
      int32_t spaces = 0;
      for (int32_t j = 0; j < segment.length; ++j) spaces += segment.text[j] == ' ';
      segment.breakCount = spaces;
    }
  }
}

}  // namespace varnel
