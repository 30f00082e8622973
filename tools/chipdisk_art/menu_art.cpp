// The main screen: logo, the tune list on a glass panel, the transport
// buttons; and the hotspot map that matches it.
#include <cstdio>

#include "tools/chipdisk_art/disk_art.hpp"
#include "tools/chipdisk_art/disk_layout.hpp"
#include "tools/chipdisk_art/lettering.hpp"
#include "tools/varnel_art/draw.hpp"
#include "tools/varnel_art/metal.hpp"
#include "tools/varnel_art/paint_kit.hpp"
#include "tools/varnel_art/random.hpp"
#include "tools/varnel_art/scenery.hpp"

namespace chipdisk_art {

using namespace varnel_art;

namespace {

constexpr int kPanelLeft = 100;
constexpr int kPanelRight = 540;
constexpr int kPanelTop = 70;
constexpr int kPanelBottom = 402;
constexpr int kNumberX = kLineX + 6;
constexpr int kTitleX = kLineX + 34;
constexpr int kFormatRight = kLineX + kLineWidth - 8;
constexpr int kLineFontCell = 12;  // one size for every line, however tall

const Color kPlainText = Rgb(0xA8B8E0);
const Color kPlainNumber = Rgb(0x5868A0);
const Color kLitText = Rgb(0xFFFFFF);
const Color kLitNumber = Rgb(0xFFE0A0);

void Background(Canvas* canvas, const DiskInfo& disk) {
  VerticalGradient(canvas, {0, 0, kScreenWidth, kScreenHeight}, Rgb(0x0A0620), Rgb(0x1E0A30));
  Stars(canvas, 0, kScreenHeight, 160, HashText(disk.name + "menu stars"));
  Random random(HashText(disk.name + "meters"));
  // Level meters down both sides, like a rack of equalisers.
  for (int side = 0; side < 2; ++side)
    for (int bar = 0; bar < 5; ++bar) {
      const int x = side == 0 ? 22 + bar * 14 : kScreenWidth - 32 - bar * 14;
      const int lit = 6 + random.Below(14);
      for (int step = 0; step < 22; ++step) {
        const int y = 380 - step * 13;
        const float t = static_cast<float>(step) / 21.0f;
        const Color on = Mix(Rgb(0x30E0C0), Rgb(0xFF4080), t);
        FillBox(canvas, {x, y, x + 10, y + 9}, step < lit ? on : Scale(on, 0.18f));
      }
    }
}

void Panel(Canvas* canvas) {
  const Box panel{kPanelLeft, kPanelTop, kPanelRight, kPanelBottom};
  FillRoundBox(canvas, panel, 10, Rgb(0x303860));
  const Box inner{panel.x0 + 3, panel.y0 + 3, panel.x1 - 3, panel.y1 - 3};
  FillRoundBox(canvas, inner, 8, Rgb(0x0C1028));
  VerticalGradient(canvas, {inner.x0 + 4, inner.y0 + 4, inner.x1 - 4, inner.y0 + 10}, Rgb(0x283058),
                   Rgb(0x0C1028));
}

bool SectionLabel(Canvas* canvas, const char* text, int y, std::string* error) {
  FillBox(canvas, {kLineX, y + 8, kLineX + 70, y + 9}, Rgb(0x40508A));
  FillBox(canvas, {kLineX + kLineWidth - 70, y + 8, kLineX + kLineWidth, y + 9}, Rgb(0x40508A));
  TextSize size;
  const FontRequest font{"DejaVu Sans", 13, true, false, 3};
  if (!MeasureText(font, text, &size, error)) return false;
  return DrawText(canvas, font, text, kLineX + (kLineWidth - size.width) / 2, y, Rgb(0xE070C0),
                  0.8f, false, error);
}

// Rows of tune t's line that no other line's rectangle covers. The tune
// table lets neighbouring lines share a row; those rows stay plain in both
// pictures, so copying either line's rectangle never lights its neighbour.
Box OwnRows(int index) {
  const TuneLine& line = kTuneLines[static_cast<std::size_t>(index)];
  int top = line.y;
  int bottom = line.y + line.height;
  if (index > 0) {
    const TuneLine& above = kTuneLines[static_cast<std::size_t>(index - 1)];
    if (above.y + above.height > top) top = above.y + above.height;
  }
  if (index + 1 < kTuneCount) {
    const TuneLine& below = kTuneLines[static_cast<std::size_t>(index + 1)];
    if (below.y < bottom) bottom = below.y;
  }
  return {kLineX, top, kLineX + kLineWidth, bottom};
}

// Draws the line on a copy and keeps only its own rows, so nothing of it
// (shadows, descenders) reaches outside the rectangle the player copies.
bool TuneLineArt(Canvas* canvas, int index, bool lit, std::string* error) {
  const TuneLine& line = kTuneLines[static_cast<std::size_t>(index)];
  const Box box = OwnRows(index);
  Canvas scratch = *canvas;
  if (lit) {
    VerticalGradient(&scratch, box, Rgb(0xFF70C8), Rgb(0x6A1A9A));
    FillBox(&scratch, {box.x0, box.y0, box.x1, box.y0 + 1}, Rgb(0xFFC8F0));
    FillBox(&scratch, {box.x0, box.y1 - 1, box.x1, box.y1}, Rgb(0x300840));
  }
  const int cell = kLineFontCell;
  const int y = box.y0 + (box.y1 - box.y0 - cell) / 2;
  char number[16];
  std::snprintf(number, sizeof number, "%02d", index + 1);
  const FontRequest small{"DejaVu Sans Mono", cell, true, false, 3};
  const FontRequest title{"DejaVu Sans", cell, lit, false, 3};
  const float shadow = lit ? 0.5f : 0.0f;
  if (!DrawText(&scratch, small, number, kNumberX, y, lit ? kLitNumber : kPlainNumber, shadow,
                false, error) ||
      !DrawText(&scratch, title, line.title, kTitleX, y, lit ? kLitText : kPlainText, shadow, false,
                error) ||
      !DrawText(&scratch, small, line.format, kFormatRight, y, lit ? kLitNumber : kPlainNumber,
                shadow, true, error))
    return false;
  for (int row = box.y0; row < box.y1; ++row)
    for (int x = box.x0; x < box.x1; ++x) canvas->Put(x, row, scratch.At(x, row));
  return true;
}

// Transport symbols drawn into the button's face.
void Symbol(Canvas* canvas, const Button& button, Color ink) {
  const float cx = static_cast<float>(button.x) + button.width / 2.0f;
  const float cy = static_cast<float>(button.y) + button.height / 2.0f;
  auto triangle = [&](float x, float direction) {
    FillPolygon(canvas, {{x, cy - 8}, {x, cy + 8}, {x + 12 * direction, cy}}, ink);
  };
  switch (button.code) {
    case 255:  // previous
      FillBox(canvas, {int(cx) - 14, int(cy) - 8, int(cx) - 11, int(cy) + 8}, ink);
      triangle(cx, -1);
      triangle(cx + 12, -1);
      break;
    case 253:  // stop
      FillBox(canvas, {int(cx) - 8, int(cy) - 8, int(cx) + 8, int(cy) + 8}, ink);
      break;
    case 254:  // play
      triangle(cx - 6, 1);
      break;
    default:  // next
      triangle(cx - 12, 1);
      triangle(cx, 1);
      FillBox(canvas, {int(cx) + 11, int(cy) - 8, int(cx) + 14, int(cy) + 8}, ink);
      break;
  }
}

void Buttons(Canvas* canvas) {
  const Metal metal{Rgb(0xD8DCF0), Rgb(0x8088A8), Rgb(0x383C58), 7};
  for (const Button& button : kButtons) {
    const Box box{button.x, button.y, button.x + button.width, button.y + button.height};
    FillRoundBox(canvas, {box.x0 - 2, box.y0 - 2, box.x1 + 2, box.y1 + 2}, 7, Rgb(0x05040E));
    BrushedPlate(canvas, box, metal);
    Bevel(canvas, box, 2, Rgb(0xFFFFFF), Rgb(0x101020), 0.6f);
    Symbol(canvas, button, Rgb(0x1A1030));
  }
}

}  // namespace

bool PaintMainScreen(const DiskInfo& disk, bool lit, Canvas* canvas, std::string* error) {
  *canvas = Canvas(kScreenWidth, kScreenHeight, Color{});
  Background(canvas, disk);
  Panel(canvas);
  Buttons(canvas);
  FontRequest logo{"DejaVu Sans", 46, true, false, 2};
  if (!DrawCenteredLettering(canvas, logo, disk.name, kScreenWidth / 2, 8, ChromeLogo(), error))
    return false;
  if (!SectionLabel(canvas, "bonus track", 284, error) ||
      !SectionLabel(canvas, "oldschool corner", 330, error))
    return false;
  for (int i = 0; i < kTuneCount; ++i)
    if (!TuneLineArt(canvas, i, lit, error)) return false;
  return DrawText(canvas, {"DejaVu Sans", 12, false, false, 3},
                  "click a tune  \xB7  arrows and Enter  \xB7  Esc to leave",
                  kScreenWidth / 2 - 150, 461, Rgb(0x7080B0), 0.0f, false, error);
}

std::vector<uint8_t> HotspotCodes() {
  std::vector<uint8_t> codes(std::size_t(kScreenWidth) * kScreenHeight, 0);
  auto fill = [&](int x, int y, int width, int height, uint8_t code) {
    for (int row = y; row < y + height; ++row)
      for (int column = x; column < x + width; ++column)
        codes[std::size_t(row) * kScreenWidth + std::size_t(column)] = code;
  };
  for (int t = 0; t < kTuneCount; ++t) {
    const TuneLine& line = kTuneLines[static_cast<std::size_t>(t)];
    fill(kLineX, line.y, kLineWidth, line.height, static_cast<uint8_t>(kFirstTuneCode - t));
  }
  for (const Button& button : kButtons)
    fill(button.x, button.y, button.width, button.height, button.code);
  return codes;
}

}  // namespace chipdisk_art
