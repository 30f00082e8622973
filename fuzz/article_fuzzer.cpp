// Arbitrary bytes as an article file: parse, draw a few pages with the
// pointer in a few places, scroll, release. The only way out of a bad file
// is a fatal error.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fuzz/fuzz_support.hpp"
#include "varnel/text/article_parser.hpp"
#include "varnel/text/page_renderer.hpp"
#include "varnel/text/scrolling.hpp"
#include "varnel/text/text_surface.hpp"

using namespace varnel;

namespace {

BitmapFont font{};
Picture panel{};
std::atomic<int32_t> mouseX{0}, mouseY{0};

void WriteBytes(const char* name, const void* data, size_t size) {
  FILE* file = std::fopen(name, "wb");
  if (!file) std::abort();
  std::fwrite(data, 1, size, file);
  std::fclose(file);
}

void SetUpOnce() {
  fuzz_support::InterceptFatalErrors();
  CreateTextSurface(nullptr);
  font.glyphWidth = 8;
  font.glyphHeight = 16;
  for (int c = 0; c < 256; ++c) {
    font.glyphs[c] = static_cast<int32_t*>(std::calloc(16, sizeof(int32_t)));
    for (int r = 0; r < 16; ++r) font.glyphs[c][r] = c ^ r;
  }
  font.loaded = 1;
  scrollBarPicture = {kScrollBarWidth, kScrollBarHeight,
                      static_cast<uint16_t*>(std::calloc(kScrollBarWidth * kScrollBarHeight, 2))};
  panel = {platform::kScreenWidth, platform::kScreenHeight, static_cast<uint16_t*>(std::calloc(platform::kScreenWidth * platform::kScreenHeight, 2))};
  currentPanel = &panel;
  BindPointer(&mouseX, &mouseY);
  // Pictures an article may name: a 1 x 1 GIF.
  const uint8_t gif[] = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 255, 0, 0, 0, 0, 0,
                         ',', 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0, ';'};
  WriteBytes("a.gif", gif, sizeof gif);
  WriteBytes("b.gif", gif, sizeof gif);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = (SetUpOnce(), true);
  (void)ready;
  WriteBytes("article.txt", data, size);
  static Article article;
  try {
    ParseArticle(&article, "article.txt", 105, 385, &font);
    const int32_t pointers[][2] = {{0, 0}, {20, 110}, {320, 240}, {639, 384}};
    for (const auto& pointer : pointers) {
      mouseX = pointer[0];
      mouseY = pointer[1];
      DrawArticlePage(&article);
    }
    for (int i = 0; i < 4; ++i) {
      PageForward(&article);
      DrawArticlePage(&article);
      LineDown(&article);
    }
    PageBack(&article);
    LineUp(&article);
    DrawArticlePage(&article);
  } catch (const fuzz_support::FatalEscape&) {
  }
  ReleaseArticle(&article);
  return 0;
}
