// varnel-page: draws one page of an article exactly as the reader shows it,
// without a display, and writes it as PNG.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/common/png_writer.hpp"
#include "tools/common/tool_support.hpp"
#include "tools/varnel_page/layout_json.hpp"
#include "varnel/media/gif_decoder.hpp"
#include "varnel/media/resource_archive.hpp"
#include "varnel/text/article_parser.hpp"
#include "varnel/text/page_renderer.hpp"
#include "varnel/text/scrolling.hpp"
#include "varnel/text/text_surface.hpp"

using namespace varnel;

namespace {

constexpr const char* kUsage =
    "usage: varnel-page ARCHIVE ARTICLE -o PAGE.png [--top-row N] [--page-down N]\n"
    "                   [--mouse X,Y] [--panel 0|1] [--layout]\n";

struct Options {
  std::string archive, article, output;
  int topRow = 0;
  int pageDown = 0;
  int mouseX = 0, mouseY = 0;
  int panel = 0;
  bool layout = false;
};

int ParseNumber(const std::string& text) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < 0 || value > 1000000) tools::Fail("not a number: " + text);
  return static_cast<int>(value);
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  std::string positional[2];
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "-o" && hasValue) {
      options.output = argv[++i];
    } else if (arg == "--top-row" && hasValue) {
      options.topRow = ParseNumber(argv[++i]);
    } else if (arg == "--page-down" && hasValue) {
      options.pageDown = ParseNumber(argv[++i]);
    } else if (arg == "--mouse" && hasValue) {
      const std::string value = argv[++i];
      const size_t comma = value.find(',');
      if (comma == std::string::npos) tools::Fail("--mouse takes X,Y");
      options.mouseX = ParseNumber(value.substr(0, comma));
      options.mouseY = ParseNumber(value.substr(comma + 1));
    } else if (arg == "--panel" && hasValue) {
      options.panel = ParseNumber(argv[++i]);
      if (options.panel > 1) tools::UsageError(kUsage);
    } else if (arg == "--layout") {
      options.layout = true;
    } else if (!arg.empty() && arg[0] != '-' && count < 2) {
      positional[count++] = arg;
    } else {
      tools::UsageError(kUsage);
    }
  }
  if (count != 2 || options.output.empty()) tools::UsageError(kUsage);
  options.archive = positional[0];
  options.article = positional[1];
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  tools::StartTool("varnel-page");
  Options options = ParseOptions(argc, argv);
  const std::string output = tools::AbsolutePath(options.output);
  const std::string archive = tools::AbsolutePath(options.archive);
  tools::EnterScratchDirectory();
  SetResourceArchivePath(archive.c_str());
  OpenResourceArchive();

  // What the main sequence loads before the first article.
  CreateTextSurface(nullptr);
  LoadGifPicture("DATA/p1.gif", &scrollBarPicture);
  Picture panels[2] = {};
  LoadPngPicture("DATA/panel0.png", &panels[0]);
  LoadPngPicture("DATA/panel1.png", &panels[1]);
  currentPanel = &panels[options.panel];
  static BitmapFont font{};
  LoadBitmapFont(&font, "DATA/font1.fnt");

  static std::atomic<int32_t> mouseX{0}, mouseY{0};
  BindPointer(&mouseX, &mouseY);
  static Article article{};
  ParseArticle(&article, options.article.c_str(), 105, 385, &font);

  // Paged the way a reader pages: a drawing between moves, so the end of the
  // article stops the paging where it stops the reader.
  article.topRow = options.topRow;
  DrawArticlePage(&article);
  for (int i = 0; i < options.pageDown; ++i) {
    PageForward(&article);
    DrawArticlePage(&article);
  }
  mouseX = options.mouseX;
  mouseY = options.mouseY;
  DrawArticlePage(&article);

  std::string error;
  if (!tools::WritePngPicture(output, {platform::kScreenWidth, platform::kScreenHeight, textSurface.pixels}, &error))
    tools::Fail(error);
  std::printf("%s\n", linkUnderMouse);
  if (options.layout) varnel_page::PrintLayoutJson(article, stdout);

  ReleaseArticle(&article);
  ReleaseBitmapFont(&font);
  std::free(panels[0].pixels);
  std::free(panels[1].pixels);
  std::free(scrollBarPicture.pixels);
  ReleaseTextSurface();
  return 0;
}
