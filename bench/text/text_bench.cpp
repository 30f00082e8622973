// Drawing a full 640 x 480 page of text: 30 rows of 80 characters, as the
// reader redraws every frame, plus what opening an article costs per font.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/text/text_service.hpp"

namespace {

using namespace platform;

constexpr int kRows = 30;
constexpr int kColumns = 80;

class PageBitmap {
 public:
  PageBitmap() {
    SetTextService(&FreeTypeTextService());
    dc_ = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 640, -480, 1, 16, BI_RGB};
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    stock_ = SelectObject(dc_, bitmap_);
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, RGB(0, 0, 255));
  }
  ~PageBitmap() {
    SelectObject(dc_, stock_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ stock_;
};

// Article-like rows: words of printable bytes, some of them OEM graphics.
std::vector<std::string> PageText() {
  std::vector<std::string> rows;
  const std::string words =
      "The magazine shows \x82t\x82 articles in two columns \xB3 with links, pictures "
      "and \xC4\xC4 boxes; each row is redrawn every frame from its segments. ";
  for (int row = 0; row < kRows; ++row) {
    std::string text;
    for (int column = 0; column < kColumns; ++column) {
      text += words[(row * 7 + column) % words.size()];
    }
    rows.push_back(text);
  }
  return rows;
}

HFONT MakeFont(const char* face, int height, int width, int weight) {
  return CreateFontA(height, width, 0, 0, weight, 0, 0, 0, OEM_CHARSET, 0, 0, 0, 0, face);
}

void DrawPage(HDC dc, const std::vector<std::string>& rows, bool justified) {
  for (int row = 0; row < kRows; ++row) {
    const std::string& text = rows[row];
    if (justified) SetTextJustification(dc, 13, 9);
    TextOutA(dc, 0, row * 16, text.data(), static_cast<int>(text.size()));
  }
}

void DrawCachedPage(benchmark::State& state, const char* face, int width, bool justified) {
  PageBitmap page;
  HFONT font = MakeFont(face, 16, width, face ? FW_NORMAL : FW_BOLD);
  SelectObject(page.dc(), font);
  const std::vector<std::string> rows = PageText();
  DrawPage(page.dc(), rows, justified);  // fills the glyph cache
  for (auto _ : state) {
    DrawPage(page.dc(), rows, justified);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kRows * kColumns);
  DeleteObject(font);
}

void BM_PageDefaultFont(benchmark::State& state) { DrawCachedPage(state, nullptr, 8, false); }
void BM_PageArial(benchmark::State& state) { DrawCachedPage(state, "Arial", 0, false); }
void BM_PageArialJustified(benchmark::State& state) { DrawCachedPage(state, "Arial", 0, true); }

// A new font's first page: creation, the width table the parser reads, and
// every glyph made for the first time.
void BM_FirstPageNewFont(benchmark::State& state) {
  PageBitmap page;
  const std::vector<std::string> rows = PageText();
  for (auto _ : state) {
    HFONT font = MakeFont("Times New Roman", 16, 0, FW_NORMAL);
    HGDIOBJ previous = SelectObject(page.dc(), font);
    int widths[256];
    GetCharWidthA(page.dc(), 0, 255, widths);
    DrawPage(page.dc(), rows, false);
    SelectObject(page.dc(), previous);
    DeleteObject(font);
  }
}

// What each font tag of an article costs while parsing.
void BM_CreateFontAndReadWidths(benchmark::State& state) {
  PageBitmap page;
  for (auto _ : state) {
    HFONT font = MakeFont("Arial", 16, 0, FW_BOLD);
    HGDIOBJ previous = SelectObject(page.dc(), font);
    int widths[256];
    GetCharWidthA(page.dc(), 0, 255, widths);
    benchmark::DoNotOptimize(widths);
    SelectObject(page.dc(), previous);
    DeleteObject(font);
  }
}

BENCHMARK(BM_PageDefaultFont)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PageArial)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PageArialJustified)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FirstPageNewFont)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CreateFontAndReadWidths)->Unit(benchmark::kMicrosecond);

}  // namespace
