// A laid-out article: the text of one page file placed once, in pixels, as
// a flat array of positioned, styled segments, with its pictures, links and
// title. Drawing and scrolling only walk what the parser built.
#pragma once

#include <cstdint>

#include "varnel/media/picture.hpp"
#include "varnel/text/bitmap_font.hpp"
#include "varnel/text/text_surface.hpp"

namespace varnel {

constexpr int32_t kTitleBytes = 1024;
constexpr int32_t kTitleKept = 62;
constexpr int32_t kArticleFileNameBytes = 256;
constexpr int32_t kColumnWidth = 632;     // justified rows end here, 8 pixels from the edge
constexpr int32_t kTwoColumnWidth = 312;  // the same in each half of a two-column page
constexpr int32_t kSecondColumnX = 320;

struct FontNode {
  FontHandle font;
  FontNode* next;
};

// Every link string the article made, so each is freed exactly once, also
// one that no segment ended up using.
struct LinkNode {
  char* link;
  LinkNode* next;
};

struct TextSegment {
  int32_t justified;
  int32_t bitmapText;
  int32_t isLink;
  int32_t left, top, right, bottom;
  char* text;  // owned, zero-terminated; null for an empty segment
  int32_t length;
  FontHandle font;  // owned by the article's font list; null in bitmap mode
  uint8_t red, green, blue;
  char* link;  // shared by every segment between one "SELC" and its "ENDS"
  int32_t breakCount;
  int32_t breakExtra;
  int32_t charExtra;
};

struct ArticlePicture {
  int32_t hasHover;
  char* pictureFile;
  char* hoverFile;
  char* link;
  Picture picture;
  Picture hoverPicture;
  int32_t x, y;
  int32_t pictureShared;  // the pixels belong to an earlier picture
  int32_t hoverShared;
  ArticlePicture* next;
};

struct Article {
  FontNode* fonts;
  LinkNode* links;
  uint8_t* text;
  int32_t textLength;
  const BitmapFont* bitmapFont;
  int32_t windowTop;
  int32_t windowBottom;
  TextSegment* segments;
  int32_t TotalArtLines;
  int32_t ArtLinesNum;
  ArticlePicture* pictures;
  int32_t mouseXAtFrame, mouseYAtFrame;
  int32_t moreBelow;
  char title[kTitleBytes];
  char fileName[kArticleFileNameBytes];
  int32_t topRow;
  int32_t rowCount;
  int32_t twoColumns;
};

}  // namespace varnel
