// The menu's 28 x 28 buttons: a motif on a coloured square; the highlighted
// variant changes the square's colour and adds a border.
#include <cmath>

#include "tools/varnel_art/paint_kit.hpp"
#include "tools/varnel_art/painters.hpp"
#include "tools/varnel_art/pixel_font.hpp"
#include "tools/varnel_art/random.hpp"
#include "tools/varnel_art/text_art.hpp"

namespace varnel_art {
namespace {

void Square(const PictureJob& job, Canvas* canvas, Color colour) {
  *canvas = Canvas(job.width, job.height, colour);
}

}  // namespace

bool PaintFloppyButton(const PictureJob& job, Canvas* canvas, std::string*) {
  Square(job, canvas, job.Colour(0, job.hover ? 0xB0B0C0 : 0x606070));
  const DesignGrid g(*canvas, 28, 28);
  const Color body = job.hover ? Rgb(0x4070E0) : Rgb(0x1E3282);
  FillSolidPolygon(canvas, {g.P(4, 3), g.P(21, 3), g.P(24, 6), g.P(24, 25), g.P(4, 25)},
                   Scale(body, 0.45f));
  FillSolidPolygon(canvas, {g.P(5, 4), g.P(20.5f, 4), g.P(23, 6.5f), g.P(23, 24), g.P(5, 24)},
                   body);
  FillBox(canvas, g.B(9, 3, 19, 11), Rgb(0xC4C4CC));
  FillBox(canvas, g.B(14, 4, 17, 10), Rgb(0x303040));
  FillBox(canvas, g.B(7, 15, 21, 24), Rgb(0xF4F4F4));
  FillBox(canvas, g.B(9, 18, 19, 19), Rgb(0xA0A0B0));
  if (job.hover) HoverBorder(job, canvas, 0xFFE060);
  return true;
}

bool PaintSheetsButton(const PictureJob& job, Canvas* canvas, std::string*) {
  Square(job, canvas, job.Colour(0, job.hover ? 0x308C48 : 0x184828));
  const DesignGrid g(*canvas, 28, 28);
  for (int k = 0; k < 3; ++k) {
    const float x = 4.0f + 3.0f * static_cast<float>(k), y = 2.0f + 3.0f * static_cast<float>(k);
    FillBox(canvas, g.B(x, y, x + 14, y + 18), Rgb(0x8C8C96));
    FillBox(canvas, g.B(x + 1, y + 1, x + 13, y + 17), Rgb(0xF8F8F8));
  }
  for (int line = 0; line < 3; ++line) {
    const float y = 12.0f + 3.0f * static_cast<float>(line);
    FillBox(canvas, g.B(12, y, 21, y + 1), Rgb(0xC8C8D0));
  }
  Polyline(canvas, {g.P(12.5f, 17), g.P(16, 21), g.P(23, 11)}, 3.0f * g.sx, Rgb(0x106020));
  Polyline(canvas, {g.P(12.5f, 17), g.P(16, 21), g.P(23, 11)}, 2.0f * g.sx, Rgb(0x60F060));
  if (job.hover) HoverBorder(job, canvas, 0xFFE060);
  return true;
}

bool PaintTagsButton(const PictureJob& job, Canvas* canvas, std::string*) {
  Color ink = job.look.At(0, 0xFFA030);
  Square(job, canvas, job.hover ? job.hoverLook.At(0, 0x288C96) : job.look.At(1, 0x104048));
  if (job.hover) ink = job.hoverLook.NamedAfter("characters in").value_or(Rgb(0xFFE060));
  const int scale = std::max(1, canvas->height / 14);
  const BlockLettering style{BlockFont::Font3x5, scale, scale, scale};
  const int width = BlockTextWidth(style, "<#>"), height = BlockTextHeight(style);
  DrawBlockText(canvas, style, "<#>", (canvas->width - width) / 2, (canvas->height - height) / 2,
                ink);
  if (job.hover) HoverBorder(job, canvas, 0xFFFFFF);
  return true;
}

bool PaintPointerButton(const PictureJob& job, Canvas* canvas, std::string*) {
  const Color base = job.Colour(0, job.hover ? 0x64A0F0 : 0x2850A0);
  *canvas = Canvas(job.width, job.height, base);
  for (int y = 0; y < canvas->height; ++y)
    for (int x = 0; x < canvas->width; ++x) {
      const float t =
          static_cast<float>(x + y) / static_cast<float>(canvas->width + canvas->height);
      canvas->Put(x, y, Lighter(base, 0.35f * t));
    }
  const DesignGrid g(*canvas, 28, 28);
  Canvas arrow(job.width, job.height, Color{}, false);
  FillSolidPolygon(
      &arrow,
      {g.P(7, 4), g.P(7, 21), g.P(11, 17), g.P(14, 24), g.P(17, 23), g.P(14, 16), g.P(19, 16)},
      Rgb(0xFFFFFF));
  OutlineOutside(&arrow, Rgb(0x303038));
  for (int y = 0; y < canvas->height; ++y)
    for (int x = 0; x < canvas->width; ++x)
      if (arrow.Solid(x, y)) canvas->Put(x, y, arrow.At(x, y));
  if (job.hover) HoverBorder(job, canvas, 0xFFE060);
  return true;
}

bool PaintTrackerButton(const PictureJob& job, Canvas* canvas, std::string*) {
  Square(job, canvas, job.Colour(0, job.hover ? 0x1E3CA0 : 0x001040));
  const Color dash =
      job.hover ? job.hoverLook.NamedAfter("dashes in").value_or(Rgb(0xFFFFFF)) : Rgb(0x50DCFF);
  const int middle = (canvas->height / 2) | 1;
  if (job.hover) FillBox(canvas, {0, middle - 1, canvas->width, middle + 2}, Rgb(0x6AA0FF));
  Random random(job.seed);
  for (int y = 3; y < canvas->height - 2; y += 2)
    for (int column = 0; column < 4; ++column) {
      const int x = 2 + column * (canvas->width - 4) / 4;
      const int length = random.Below(3) == 0 ? 5 : 3;
      FillBox(canvas, {x, y, x + length, y + 1}, dash);
    }
  if (job.hover) HoverBorder(job, canvas, 0xFFE060);
  return true;
}

bool PaintBubbleButton(const PictureJob& job, Canvas* canvas, std::string*) {
  Square(job, canvas, job.Colour(0, job.hover ? 0xAA6EDC : 0x5A2878));
  const DesignGrid g(*canvas, 28, 28);
  FillRoundBox(canvas, g.B(4, 5, 24, 19), 4 * g.sx, Rgb(0xFFFFFF));
  FillSolidPolygon(canvas, {g.P(6.5f, 18), g.P(5.5f, 24.5f), g.P(13, 18)}, Rgb(0xFFFFFF));
  const Color dots =
      job.hover ? job.hoverLook.NamedAfter("dots in").value_or(Rgb(0xF09030)) : Rgb(0x322046);
  for (int k = 0; k < 3; ++k) {
    const float x = 8.0f + 5.0f * static_cast<float>(k);
    FillBox(canvas, g.B(x, 11, x + 2, 13), dots);
  }
  if (job.hover) HoverBorder(job, canvas, 0xFFE060);
  return true;
}

bool PaintLighthouseButton(const PictureJob& job, Canvas* canvas, std::string*) {
  Square(job, canvas, job.Colour(0, job.hover ? 0x3250AA : 0x101848));
  const DesignGrid g(*canvas, 28, 28);
  if (job.hover)
    FillSolidPolygon(canvas, {g.P(12, 7), g.P(28, 0), g.P(28, 15)}, Rgb(0xFFE640));
  else
    FillSolidPolygon(canvas, {g.P(12, 7), g.P(28, 3), g.P(28, 11)}, Rgb(0xF8ECA8));
  FillEllipse(canvas, g.X(11), g.Y(25.5f), g.X(9), g.Y(3.5f), Rgb(0x70707C));
  FillBox(canvas, g.B(2, 25.5f, 20, 28), Rgb(0x70707C));
  for (int y = 9; y < 24; ++y) {
    const float half = 2.0f + 2.0f * static_cast<float>(y - 9) / 14.0f;
    const Color stripe = ((y - 9) / 3) % 2 ? Rgb(0xF4F4F4) : Rgb(0xD22828);
    FillBox(canvas, g.B(11 - half, static_cast<float>(y), 11 + half, static_cast<float>(y + 1)),
            stripe);
  }
  FillBox(canvas, g.B(9, 5, 13, 9), Rgb(0xFFDC3C));
  FillSolidPolygon(canvas, {g.P(8.5f, 5), g.P(11, 2.5f), g.P(13.5f, 5)}, Rgb(0x303040));
  if (job.hover) HoverBorder(job, canvas, 0xFFE060);
  return true;
}

bool PaintPixelGridButton(const PictureJob& job, Canvas* canvas, std::string*) {
  Square(job, canvas, Rgb(0x303038));
  const std::vector<Color> ramp = {Rgb(0x321450), Rgb(0x50328C), Rgb(0x8C2864), Rgb(0xD24C3C),
                                   Rgb(0xE69246), Rgb(0xF0C850), Rgb(0xFAF0AA)};
  const int cell = (std::min(canvas->width, canvas->height) - 4) / 4;
  const int x0 = (canvas->width - (4 * cell + 3)) / 2, y0 = (canvas->height - (4 * cell + 3)) / 2;
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 4; ++column) {
      Color c = Ramp(ramp, static_cast<float>(column + 3 - row) / 6.0f);
      if (job.hover) c = Lighter(c, 0.25f);
      const int x = x0 + column * (cell + 1), y = y0 + row * (cell + 1);
      FillBox(canvas, {x, y, x + cell, y + cell}, c);
    }
  if (job.hover) HoverBorder(job, canvas, 0xFFFFFF);
  return true;
}

bool PaintDissolveButton(const PictureJob& job, Canvas* canvas, std::string*) {
  Color a = Rgb(0x1E6432), b = Rgb(0x6ED264);
  if (job.hover) {
    a = job.hoverLook.NamedAfter("pattern in").value_or(Rgb(0xFFE060));
    b = job.hoverLook.NamedAfter(" and ").value_or(Rgb(0xF08C28));
  }
  *canvas = Canvas(job.width, job.height, a);
  Random random(job.seed);
  const int middle = canvas->width / 2;
  for (int y = 0; y < canvas->height; ++y)
    for (int x = 0; x < canvas->width; ++x) {
      const bool second = x < middle ? ((x + y) & 1) != 0 : random.Below(2) != 0;
      canvas->Put(x, y, second ? b : a);
    }
  FillBox(canvas, {middle, 0, middle + 1, canvas->height}, Rgb(0xFFFFFF));
  if (job.hover) HoverBorder(job, canvas, 0xFFFFFF);
  return true;
}

bool PaintQuestionButton(const PictureJob& job, Canvas* canvas, std::string* error) {
  Square(job, canvas, job.look.At(1, 0x202028));
  const float cx = static_cast<float>(canvas->width) / 2,
              cy = static_cast<float>(canvas->height) / 2;
  const Color circle = job.Colour(0, job.hover ? 0xA0F064 : 0x289646);
  FillDisc(canvas, cx, cy, static_cast<float>(std::min(canvas->width, canvas->height)) / 2 - 1,
           circle);
  const Color ink = job.hover ? job.hoverLook.NamedAfter("question mark in").value_or(Rgb(0x145020))
                              : Rgb(0xFFFFFF);
  const FontRequest font{"Arial", canvas->height * 4 / 5, true, false, 2};
  Mask mark;
  Box inkBox;
  if (!RenderText(font, "?", canvas->width * 2, canvas->height * 2, canvas->width / 2, 0, &mark,
                  error))
    return false;
  if (!InkBounds(mark, &inkBox)) return true;
  const int dx = (canvas->width - (inkBox.x1 - inkBox.x0)) / 2 - inkBox.x0;
  const int dy = (canvas->height - (inkBox.y1 - inkBox.y0)) / 2 - inkBox.y0;
  PaintMask(canvas, mark, dx, dy, ink);
  if (job.hover) HoverBorder(job, canvas, 0xFFE060);
  return true;
}

}  // namespace varnel_art
