#include "varnel/text/article_parser.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "varnel/media/picture.hpp"
#include "varnel/failure/fatal_error.hpp"
#include "varnel/text/article_layout.hpp"

namespace varnel {

using namespace platform;

namespace {

constexpr int32_t kFaceBytes = 256;
constexpr int32_t kWorkingSlack = 8;  // spare bytes after the text: space, line feed, six spaces

// Blocks the parser holds only while it works; released on every way out.
struct FreeBlock {
  void operator()(void* block) const { std::free(block); }
};
template <typename T>
using Owned = std::unique_ptr<T, FreeBlock>;

// The parser's pen and style while one article is laid out.
struct LayoutState {
  int32_t x = 0, y = 0;
  int32_t lineHeight = 16;
  int32_t charWidth = 8;
  char face[kFaceBytes] = {};
  int32_t underline = 0, bold = 0, italic = 0;
  int32_t bitmapMode = 0;
  int32_t justify = 0;
  int32_t linkMode = 0;
  char* link = nullptr;
  uint8_t red = 128, green = 128, blue = 128;
  FontHandle font = nullptr;
  int32_t widths[256] = {};
};

struct Scan {
  Article* article;
  const uint8_t* w;  // the working copy
  int32_t n;         // scan length: text, added space and line feed
  LayoutState state;
};

char* CopyBytes(const uint8_t* from, int32_t length) {
  char* copy = static_cast<char*>(AllocZeroed(length + 1));
  if (length > 0) std::memcpy(copy, from, static_cast<size_t>(length));
  return copy;
}

void SelectFontAndReadWidths(LayoutState& state) {
  SelectObject(textSurface.CompatibleHDC, state.font);
  GetCharWidthA(textSurface.CompatibleHDC, 0, 255, state.widths);
}

void CreateFontFromState(Scan& scan) {
  LayoutState& state = scan.state;
  FontHandle font = CreateArticleFont(state.face, state.underline, state.bold, state.italic,
                                      state.charWidth, state.lineHeight);
  auto* node = static_cast<FontNode*>(AllocZeroed(sizeof(FontNode)));
  node->font = font;
  FontNode** tail = &scan.article->fonts;
  while (*tail) tail = &(*tail)->next;
  *tail = node;
  state.font = font;
  SelectFontAndReadWidths(state);
}

void AppendSegment(Scan& scan, int32_t start, int32_t length) {
  Article* article = scan.article;
  if (++article->ArtLinesNum > article->TotalArtLines) FatalError("ArtLinesNum > TotalArtLines");
  TextSegment& segment = article->segments[article->ArtLinesNum - 1];
  const LayoutState& state = scan.state;
  segment.left = segment.right = state.x;
  segment.top = state.y;
  segment.bottom = WrapAdd(state.y, state.lineHeight);
  if (length <= 0) return;

  segment.justified = state.justify;
  segment.bitmapText = state.bitmapMode;
  segment.isLink = state.linkMode;
  segment.text = CopyBytes(scan.w + start, length);
  segment.length = length;
  int32_t right = state.x;
  if (state.bitmapMode) {
    right = WrapAdd(right, WrapMul(length, state.charWidth));
  } else {
    for (int32_t k = 0; k < length; ++k) right = WrapAdd(right, state.widths[scan.w[start + k]]);
  }
  segment.right = right;
  segment.font = state.bitmapMode ? nullptr : state.font;
  segment.red = state.red;
  segment.green = state.green;
  segment.blue = state.blue;
  segment.link = state.link;
  scan.state.x = right;
}

void ApplyStyleWord(Scan& scan, const uint8_t* word) {
  struct Style {
    const char* word;
    int32_t underline, bold, italic;
  };
  static const Style kStyles[] = {{"NORM", 0, 0, 0}, {"UNDE", 1, 0, 0}, {"BOLD", 0, 1, 0},
                                  {"ITAL", 0, 0, 1}, {"ITBO", 0, 1, 1}, {"UNBO", 1, 1, 0},
                                  {"IUBO", 1, 1, 1}};
  LayoutState& state = scan.state;
  if (std::memcmp(word, "BITS", 4) == 0) {
    state.font = nullptr;
    state.charWidth = scan.article->bitmapFont->glyphWidth;
    state.lineHeight = scan.article->bitmapFont->glyphHeight;
    state.underline = state.bold = state.italic = 0;
    state.justify = 0;
    state.bitmapMode = 1;
    return;
  }
  for (const Style& style : kStyles) {
    if (std::memcmp(word, style.word, 4) == 0) {
      state.underline = style.underline;
      state.bold = style.bold;
      state.italic = style.italic;
    }
  }
  if (!state.bitmapMode) CreateFontFromState(scan);
}

// The picture file, then optionally "*hover file*link". With a single '*'
// the rest is the hover file and the link is empty.
void ApplyIcon(Scan& scan, const uint8_t* args, int32_t length) {
  const auto* star = static_cast<const uint8_t*>(std::memchr(args, '*', static_cast<size_t>(length)));
  if (!star) {
    const Owned<char> file(CopyBytes(args, length));
    AddArticlePicture(scan.article, file.get(), nullptr, nullptr, scan.state.x, scan.state.y);
    return;
  }
  const int32_t fileLength = static_cast<int32_t>(star - args);
  const uint8_t* hover = star + 1;
  const int32_t rest = length - fileLength - 1;
  const auto* secondStar = static_cast<const uint8_t*>(std::memchr(hover, '*', static_cast<size_t>(rest)));
  const int32_t hoverLength = secondStar ? static_cast<int32_t>(secondStar - hover) : rest;
  const Owned<char> file(CopyBytes(args, fileLength));
  const Owned<char> hoverFile(CopyBytes(hover, hoverLength));
  const Owned<char> link(secondStar ? CopyBytes(secondStar + 1, rest - hoverLength - 1)
                                    : CopyBytes(args, 0));
  AddArticlePicture(scan.article, file.get(), hoverFile.get(), link.get(), scan.state.x,
                    scan.state.y);
}

void RememberLink(Article* article, char* link) {
  auto* node = static_cast<LinkNode*>(AllocZeroed(sizeof(LinkNode)));
  node->link = link;
  node->next = article->links;
  article->links = node;
}

// Applies the tag at `at`, whose arguments run from at + 7 up to `close`.
void ApplyTag(Scan& scan, const uint8_t* at, const uint8_t* close) {
  LayoutState& state = scan.state;
  const uint8_t* args = at + 7;
  const int32_t length = close > args ? static_cast<int32_t>(close - args) : 0;
  const Owned<char> owned(CopyBytes(args, length));  // bounded, zero-terminated arguments
  const char* text = owned.get();
  const auto is = [at](const char* name) { return std::memcmp(at + 2, name, 4) == 0; };

  if (is("FTNM")) {
    std::memset(state.face, 0, sizeof state.face);
    std::memcpy(state.face, text, static_cast<size_t>(length < kFaceBytes - 1 ? length : kFaceBytes - 1));
    state.bitmapMode = 0;
    CreateFontFromState(scan);
  } else if (is("FTSZ")) {
    int width = state.charWidth, height = state.lineHeight;
    std::sscanf(text, "%i, %i", &width, &height);
    state.charWidth = width;
    state.lineHeight = height;
    CreateFontFromState(scan);
  } else if (is("FTPE")) {
    uint8_t word[4] = {' ', ' ', ' ', ' '};
    std::memcpy(word, args, 4);  // the four bytes after the separator, as written
    ApplyStyleWord(scan, word);
  } else if (is("COLR")) {
    unsigned colour = 0;
    if (std::sscanf(text, "%X", &colour) == 1) {
      state.red = static_cast<uint8_t>(colour >> 16);
      state.green = static_cast<uint8_t>(colour >> 8);
      state.blue = static_cast<uint8_t>(colour);
    }
  } else if (is("JUST")) {
    state.justify = 1;
  } else if (is("JEND")) {
    state.justify = 0;
  } else if (is("SELC")) {
    state.linkMode = 1;
    state.link = CopyBytes(args, length);
    RememberLink(scan.article, state.link);
  } else if (is("ENDS")) {
    state.linkMode = 0;
    state.link = nullptr;
  } else if (is("ICON")) {
    ApplyIcon(scan, args, length);
  } else if (is("TITL")) {
    std::memcpy(scan.article->title, text, static_cast<size_t>(length < kTitleKept ? length : kTitleKept));
  } else if (is("TWOC")) {
    scan.article->twoColumns = 1;
  }
}

void ScanText(Scan& scan) {
  const uint8_t* w = scan.w;
  const int32_t textLength = scan.article->textLength;
  int32_t s = 0;
  int32_t i = 0;
  while (i < scan.n) {
    const bool lineEnd = w[i] == '\n';
    if (!lineEnd && !IsArticleTagStart(w + i)) {
      ++i;
      continue;
    }
    int32_t length = i - s;
    // The byte before a line feed goes when it is the carriage return, or
    // the space added after the text; a bare line feed keeps the letter.
    if (lineEnd && length > 0 && (w[i - 1] == '\r' || i - 1 == textLength)) --length;
    AppendSegment(scan, s, length);
    if (lineEnd) {
      scan.state.y = WrapAdd(scan.state.y, scan.state.lineHeight);
      scan.state.x = 0;
      s = i = i + 1;
      continue;
    }
    if (i + 2 > scan.n) FatalError("Unexpected end of file !");
    int32_t p = i + 2;
    while (!(w[p] == '#' && w[p + 1] == '>')) {
      if (++p >= scan.n) FatalError("Unexpected end of file !");
    }
    ApplyTag(scan, w + i, w + p);
    s = i = p + 2;
  }
}

}  // namespace

bool IsArticleTagStart(const uint8_t* at) {
  static const char kPrefixes[][3] = {"CO", "FT", "IC", "SE", "EN", "JU", "JE", "TW", "TI"};
  if (at[0] != '<' || at[1] != '#') return false;
  for (const char* prefix : kPrefixes)
    if (at[2] == prefix[0] && at[3] == prefix[1]) return true;
  return false;
}

Article* ParseArticle(Article* article, const char* fileName, int32_t windowTop,
                      int32_t windowBottom, const BitmapFont* bitmapFont) {
  if (!bitmapFont) FatalError("Allocator Error !");
  std::memset(article, 0, sizeof *article);
  article->moreBelow = 1;
  article->windowTop = windowTop;
  article->windowBottom = windowBottom;
  article->bitmapFont = bitmapFont;
  std::snprintf(article->fileName, sizeof article->fileName, "%s", fileName);

  article->text = LoadBinaryFile(fileName, &article->textLength);
  const int32_t textLength = article->textLength;
  if (textLength > INT32_MAX - kWorkingSlack) FatalError("Allocator Error !");
  const Owned<uint8_t> working(static_cast<uint8_t*>(AllocZeroed(textLength + kWorkingSlack)));
  uint8_t* w = working.get();
  std::memset(w, ' ', static_cast<size_t>(textLength) + kWorkingSlack);
  std::memcpy(w, article->text, static_cast<size_t>(textLength));
  w[textLength + 1] = '\n';
  const int32_t n = textLength + 2;

  int32_t lineFeeds = 0, markers = 0;
  for (int32_t p = 0; p < n; ++p) {
    lineFeeds += w[p] == '\n';
    markers += w[p] == '<' && w[p + 1] == '#';
  }
  article->rowCount = lineFeeds;
  article->TotalArtLines = lineFeeds + markers + 8;
  article->segments = AllocZeroedArray<TextSegment>(article->TotalArtLines);

  Scan scan{article, w, n, {}};
  scan.state.font = textSurface.defaultFont;
  SelectFontAndReadWidths(scan.state);
  ScanText(scan);

  JustifyRows(article);
  MeasureBreaks(article);
  LoadArticlePictures(article);
  return article;
}

}  // namespace varnel
