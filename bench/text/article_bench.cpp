// Laying out and drawing articles, against copying one frame.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/text/text_service.hpp"
#include "tools/common/gif_writer.hpp"
#include "varnel/text/article_parser.hpp"
#include "varnel/text/page_renderer.hpp"
#include "varnel/text/scrolling.hpp"
#include "varnel/text/text_surface.hpp"

using namespace varnel;

namespace {

constexpr size_t kFrameBytes = 640 * 480 * 2;

// The reader's surface, fonts and pictures with real fonts, in a scratch
// directory of its own.
struct Reader {
  BitmapFont font{};
  Picture panel{};
  std::vector<uint16_t> panelPixels = std::vector<uint16_t>(640 * 480, 0x0842);
  std::vector<uint16_t> barPixels = std::vector<uint16_t>(282 * 19, 0x3DEF);
  std::atomic<int32_t> mouseX{300}, mouseY{120};

  Reader() {
    char dir[] = "/tmp/varnel-bench-XXXXXX";
    if (!mkdtemp(dir) || chdir(dir) != 0) std::abort();
    platform::SetTextService(&platform::FreeTypeTextService());
    CreateTextSurface(nullptr);
    font.glyphWidth = 8;
    font.glyphHeight = 16;
    for (auto& glyph : font.glyphs) glyph = static_cast<int32_t*>(std::calloc(16, sizeof(int32_t)));
    for (int c = 0; c < 256; ++c)
      for (int r = 0; r < 16; ++r) font.glyphs[c][r] = (c * 7 + r) & 0xFF;
    font.loaded = 1;
    panel = {640, 480, panelPixels.data()};
    currentPanel = &panel;
    scrollBarPicture = {282, 19, barPixels.data()};
    BindPointer(&mouseX, &mouseY);
    WritePicture("left.gif", 120, 90, 3);
    WritePicture("right.gif", 100, 120, 5);
  }

  static void WritePicture(const char* name, int width, int height, int seed) {
    tools::IndexedPicture picture;
    picture.width = width;
    picture.height = height;
    for (int i = 0; i < 16; ++i)
      for (int c = 0; c < 3; ++c) picture.palette.push_back(static_cast<uint8_t>(i * 16 + c * seed));
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) picture.indices.push_back(static_cast<uint8_t>((x / 8 + y / 8) % 16));
    std::string error;
    if (!tools::WriteGif(name, picture, &error)) std::abort();
  }
};

Reader& TheReader() {
  static Reader reader;
  return reader;
}

void WriteText(const char* name, const std::string& text) {
  FILE* file = std::fopen(name, "wb");
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

// A full page: proportional text in two faces, justified paragraphs, a link
// over two rows under the pointer, two pictures.
std::string PageArticle() {
  std::string text = "<#TITL A full page#><#FTNM Arial#><#FTSZ 7, 16#><#COLR D0D0FF#>";
  text += "<#ICON left.gif#>\r\n";
  const char* words = "The quick tracker module plays its patterns while the pixels dissolve ";
  for (int row = 0; row < 17; ++row) {
    if (row == 4) text += "<#JUST#>";
    if (row == 9) text += "<#JEND#><#FTNM Times New Roman#><#SELC ART:ARTS/next.txt#>";
    if (row == 11) text += "<#ENDS#><#FTNM Verdana#><#ICON right.gif#>";
    text += std::string(words).substr(0, 60 + row % 7) + "\r\n";
  }
  return text;
}

void BM_DrawArticlePage(benchmark::State& state) {
  Reader& reader = TheReader();
  WriteText("page.txt", PageArticle());
  static Article article;
  ParseArticle(&article, "page.txt", 105, 385, &reader.font);
  for (auto _ : state) {
    DrawArticlePage(&article);
    benchmark::DoNotOptimize(textSurface.pixels[0]);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kFrameBytes);
  ReleaseArticle(&article);
}
BENCHMARK(BM_DrawArticlePage);

void BM_FrameMemcpy(benchmark::State& state) {
  std::vector<uint8_t> from(kFrameBytes, 1), to(kFrameBytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), kFrameBytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kFrameBytes);
}
BENCHMARK(BM_FrameMemcpy);

// A long article of tagged text; the size is the argument in KiB, so the
// time per byte shows whether layout grows linearly.
void BM_ParseArticle(benchmark::State& state) {
  Reader& reader = TheReader();
  const size_t target = static_cast<size_t>(state.range(0)) * 1024;
  std::string text;
  int line = 0;
  while (text.size() < target) {
    if (line % 40 == 0) text += "<#FTNM Arial#><#COLR 80FF80#>";
    if (line % 40 == 20) text += "<#JUST#><#SELC ART:ARTS/other.txt#>";
    if (line % 40 == 25) text += "<#ENDS#><#JEND#><#FTPE BITS#>";
    text += "Line " + std::to_string(line++) + " of a long article about chip music and pixels.\r\n";
  }
  text.resize(target);
  WriteText("long.txt", text);
  static Article article;
  for (auto _ : state) {
    ParseArticle(&article, "long.txt", 105, 385, &reader.font);
    ReleaseArticle(&article);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(target));
}
BENCHMARK(BM_ParseArticle)->Arg(256)->Arg(512)->Arg(1024)->Unit(benchmark::kMillisecond);

}  // namespace
