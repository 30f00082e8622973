// The objects behind the text service's handles, shared by its source files.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/text/font_driver.hpp"
#include "platform/text/text_service.hpp"

namespace platform {

// One horizontal run of ink, relative to the pen x and the cell top.
struct GlyphSpan {
  std::int16_t dx;
  std::int16_t dy;
  std::int16_t length;
};

struct GlyphSlot {
  std::uint32_t firstSpan = 0;
  std::uint32_t spanCount = 0;
  bool ready = false;
};

struct GdiFont {
  LOGFONTA logFont{};
  std::unique_ptr<FontFace> face;
  std::array<int, 256> advances{};
  bool advancesReady = false;
  std::array<GlyphSlot, 256> glyphs{};
  std::vector<GlyphSpan> spans;  // every made glyph's runs, slot by slot
  int selections = 0;            // contexts holding it
  bool deletePending = false;
  bool stock = false;
};

struct GdiBitmap {
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;  // in pixels
  bool topDown = true;
  std::unique_ptr<std::uint16_t[]> memory;
  GdiDc* selectedInto = nullptr;
  bool deletePending = false;
  bool stock = false;

  std::uint16_t* Row(int y) { return memory.get() + (topDown ? y : height - 1 - y) * stride; }
};

struct GdiDc {
  GdiFont* font = nullptr;
  GdiBitmap* bitmap = nullptr;
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF backgroundColor = RGB(255, 255, 255);
  int backgroundMode = OPAQUE;
  int charExtra = 0;
  int breakExtra = 0;      // pixels per break character
  int breakRemainder = 0;  // one more for this many first breaks (sign of the extra)
};

// Live objects only: null for a stale or foreign handle.
GdiDc* FindDc(HDC hdc);
GdiFont* FindFont(HGDIOBJ object);
GdiBitmap* FindBitmap(HGDIOBJ object);
void RegisterFont(GdiFont* font);
void ForgetFont(GdiFont* font);

// The font of a new context, made once per driver; null if the driver has
// no face at all.
GdiFont* StockFont();

// The font's 256 advances and cached glyphs, made on first use.
const std::array<int, 256>& Advances(GdiFont& font);
const GlyphSlot& Glyph(GdiFont& font, std::uint8_t byte);

std::uint16_t PackRgb555(COLORREF color);

}  // namespace platform
