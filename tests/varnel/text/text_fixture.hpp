// A reader's text engine set up as the main sequence does, on the fake text
// driver: the surface, a bitmap font, the scroll bar and a panel.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/scratch_dir.hpp"
#include "varnel/text/article_parser.hpp"
#include "varnel/text/page_renderer.hpp"
#include "varnel/text/scrolling.hpp"
#include "varnel/text/text_surface.hpp"

namespace varnel {


// A font whose glyph c has every row equal to c, so each code draws a
// recognisable pattern; code 0 is blank.
inline testing_support::Bytes PatternFontFile() {
  testing_support::Bytes bytes(kBitmapFontFileSize);
  for (int c = 0; c < 256; ++c)
    for (int r = 0; r < 16; ++r) bytes[static_cast<size_t>(c * 16 + r)] = static_cast<uint8_t>(c);
  return bytes;
}

// A 1 x 1 GIF of one colour (a palette of two: the colour and black).
inline testing_support::Bytes OnePixelGif(uint8_t red, uint8_t green, uint8_t blue) {
  testing_support::Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, red, green, blue, 0, 0, 0,
               ',', 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0, ';'};
  return gif;
}

class TextEngineTest : public testing_support::ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    testing_support::WriteFile("font.fnt", PatternFontFile());
    LoadBitmapFont(&font_, "font.fnt");
    CreateTextSurface(nullptr);
    scrollBarPicture.width = kScrollBarWidth;
    scrollBarPicture.height = kScrollBarHeight;
    scrollBarPicture.pixels = static_cast<uint16_t*>(std::calloc(kScrollBarWidth * kScrollBarHeight, 2));
    for (int r = 0; r < kScrollBarHeight; ++r)
      for (int c = 0; c < kScrollBarWidth; ++c) scrollBarPicture.pixels[r * kScrollBarWidth + c] = static_cast<uint16_t>(c + 1);
    panel_.assign(static_cast<size_t>(platform::kScreenWidth) * platform::kScreenHeight, 0x0421);
    panelPicture_ = {platform::kScreenWidth, platform::kScreenHeight, panel_.data()};
    currentPanel = &panelPicture_;
    BindPointer(&mouseX_, &mouseY_);
    BindPageTurnSettings(&softScroll_, &plasmaLike_);
    pageTurnPending = 0;
    pageTurnDirection = 0;
  }

  void TearDown() override {
    if (parsed_) ReleaseArticle(&article_);
    ReleaseTextSurface();
    ReleaseBitmapFont(&font_);
    std::free(scrollBarPicture.pixels);
    scrollBarPicture = {};
    currentPanel = nullptr;
    BindPointer(nullptr, nullptr);
    BindPageTurnSettings(nullptr, nullptr);
    ScratchDirTest::TearDown();
  }

  // Writes `text` as an article file and parses it as the reader does.
  Article& Parse(const std::string& text) {
    if (parsed_) ReleaseArticle(&article_);
    testing_support::WriteFile("article.txt", text);
    ParseArticle(&article_, "article.txt", 105, 385, &font_);
    parsed_ = true;
    return article_;
  }

  // `lines` lines of bitmap-font text, CR LF ended.
  static std::string BitmapLines(int lines) {
    std::string text = "<#FTPE BITS#>";
    for (int i = 0; i < lines; ++i) text += "line " + std::to_string(i) + "\r\n";
    return text;
  }

  void PointAt(int x, int y) {
    mouseX_ = x;
    mouseY_ = y;
  }

  uint16_t SurfacePixel(int x, int y) const { return textSurface.pixels[y * platform::kScreenWidth + x]; }

  const TextSegment& Segment(int i) const { return article_.segments[i]; }

  BitmapFont font_{};
  Article article_{};
  bool parsed_ = false;
  std::vector<uint16_t> panel_;
  Picture panelPicture_{};
  std::atomic<int32_t> mouseX_{0}, mouseY_{0};
  int32_t softScroll_ = 1, plasmaLike_ = 0;
};

}  // namespace varnel
