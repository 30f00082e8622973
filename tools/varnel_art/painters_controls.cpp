// Player buttons and small widgets: rounded slate buttons with a symbol, a
// lettered gradient button and a miniature screen.
#include <algorithm>
#include <cctype>
#include <cmath>

#include "tools/varnel_art/paint_kit.hpp"
#include "tools/varnel_art/painters.hpp"
#include "tools/varnel_art/pixel_font.hpp"

namespace varnel_art {
namespace {

// A rounded button with a lit upper edge and a shaded lower one; the
// corners stay transparent.
void ButtonBody(const PictureJob& job, Canvas* canvas, Color face) {
  *canvas = Canvas(job.width, job.height, Color{}, false);
  const Box box{0, 0, job.width, job.height};
  const float radius = static_cast<float>(std::min(job.width, job.height)) / 5.0f;
  FillRoundBox(canvas, box, radius, Scale(face, 0.6f));
  FillRoundBox(canvas, {0, 0, job.width, job.height - 1}, radius, Lighter(face, 0.3f));
  FillRoundBox(canvas, {0, 1, job.width, job.height - 1}, radius, face);
}

}  // namespace

bool PaintCdButton(const PictureJob& job, Canvas* canvas, std::string*) {
  ButtonBody(job, canvas, job.Colour(0, job.hover ? 0xF0A030 : 0x283040));
  const Color ink = job.hover ? Rgb(0xFFFFFF) : Rgb(0xC8CCD4);
  const DesignGrid g(*canvas, 48, 28);
  const Description& d = job.look;
  if (d.Has("previous")) {
    FillBox(canvas, g.B(15, 8, 18, 20), ink);
    FillSolidPolygon(canvas, {g.P(18, 14), g.P(26, 8), g.P(26, 20)}, ink);
    FillSolidPolygon(canvas, {g.P(26, 14), g.P(34, 8), g.P(34, 20)}, ink);
  } else if (d.Has("next")) {
    FillSolidPolygon(canvas, {g.P(14, 8), g.P(22, 14), g.P(14, 20)}, ink);
    FillSolidPolygon(canvas, {g.P(22, 8), g.P(30, 14), g.P(22, 20)}, ink);
    FillBox(canvas, g.B(30, 8, 33, 20), ink);
  } else if (d.Has("eject") || d.Has("tray")) {
    FillSolidPolygon(canvas, {g.P(24, 6.5f), g.P(32.5f, 15), g.P(15.5f, 15)}, ink);
    FillBox(canvas, g.B(16, 18, 32, 21), ink);
  } else {
    FillBox(canvas, g.B(18, 8, 30, 20), ink);
  }
  return true;
}

bool PaintNoteButton(const PictureJob& job, Canvas* canvas, std::string*) {
  ButtonBody(job, canvas, job.hover ? job.hoverLook.At(0, 0x3CB450) : job.look.At(0, 0x283040));
  const Color ink = job.hover ? Rgb(0xFFFFFF) : job.look.At(1, 0x8CE68C);
  const DesignGrid g(*canvas, 48, 28);
  FillEllipse(canvas, 21 * g.sx, 19.5f * g.sy, 4.5f * g.sx, 3.3f * g.sy, ink);
  FillBox(canvas, g.B(24, 6, 26, 19), ink);
  FillSolidPolygon(canvas,
                   {g.P(25.5f, 6), g.P(29, 8.5f), g.P(31.5f, 12), g.P(31, 16.5f), g.P(29.5f, 12.5f),
                    g.P(25.5f, 10.5f)},
                   ink);
  return true;
}

bool PaintSilenceButton(const PictureJob& job, Canvas* canvas, std::string*) {
  ButtonBody(job, canvas, job.Colour(0, job.hover ? 0xC83C3C : 0x283040));
  const Color speaker = job.hover ? Rgb(0xFFFFFF) : Rgb(0xC8CCD4);
  const Color cross = job.hover ? Rgb(0xFFFFFF) : Rgb(0xE03434);
  const DesignGrid g(*canvas, 48, 28);
  FillBox(canvas, g.B(12, 11, 16, 17), speaker);
  FillSolidPolygon(canvas, {g.P(15.5f, 11), g.P(22, 6), g.P(22, 22), g.P(15.5f, 17)}, speaker);
  ThickLine(canvas, g.P(26.5f, 9.5f), g.P(35.5f, 18.5f), 2.6f * g.sy, cross);
  ThickLine(canvas, g.P(35.5f, 9.5f), g.P(26.5f, 18.5f), 2.6f * g.sy, cross);
  return true;
}

bool PaintWordButton(const PictureJob& job, Canvas* canvas, std::string*) {
  *canvas = Canvas(job.width, job.height, Color{}, false);
  const Color from = job.hover ? job.hoverLook.NamedAfter("gradient from").value_or(Rgb(0x289096))
                               : job.look.At(0, 0x14505A);
  const Color to = job.Colour(job.hover ? 0 : 1, job.hover ? 0xC8F050 : 0x50B4BE);
  const float radius = 4.0f;
  for (int x = 0; x < job.width; ++x) {
    const Color c =
        Mix(from, to, static_cast<float>(x) / static_cast<float>(std::max(1, job.width - 1)));
    FillSolid(
        canvas, {x, 0, x + 1, job.height},
        [&](float px, float py) {
          const float dx =
              std::max({radius - px, 0.0f, px - (static_cast<float>(job.width) - radius)});
          const float dy =
              std::max({radius - py, 0.0f, py - (static_cast<float>(job.height) - radius)});
          return dx * dx + dy * dy <= radius * radius;
        },
        c);
  }
  const std::string word = job.look.CapitalWord("PIXELS");
  std::string lowerWord = word;
  for (char& c : lowerWord) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const Color ink = job.hover ? job.hoverLook.NamedAfter(lowerWord + " in").value_or(Rgb(0x101840))
                              : Rgb(0xFFFFFF);
  const int dot = std::max(1, job.height / 16);
  const BlockLettering style{BlockFont::Font5x7, dot, dot, dot};
  DrawBlockText(canvas, style, word, (job.width - BlockTextWidth(style, word)) / 2,
                (job.height - BlockTextHeight(style)) / 2, ink);
  if (job.hover) HoverBorder(job, canvas, 0xFFFFFF);
  return true;
}

bool PaintMiniScreen(const PictureJob& job, Canvas* canvas, std::string*) {
  const Color border = job.Colour(0, job.hover ? 0x82AAE6 : 0x46649A);
  const Color inner = job.look.At(1, 0x0C1028);
  *canvas = Canvas(job.width, job.height, border);
  const int rim = std::max(2, job.height / 8);
  Bevel(canvas, {0, 0, job.width, job.height}, 1, Rgb(0xFFFFFF), Rgb(0x000000), 0.3f);
  FillBox(canvas, {rim, rim, job.width - rim, job.height - rim}, inner);
  Bevel(canvas, {rim, rim, job.width - rim, job.height - rim}, 1, Rgb(0x000000), Rgb(0xFFFFFF),
        0.25f);
  const Color text = job.hover ? Rgb(0xFFFFFF) : Rgb(0xB8B8C4);
  const int lengths[3] = {60, 72, 44};
  const int inside = job.width - 2 * rim - 8;
  for (int line = 0; line < 3; ++line) {
    const int y = rim + 5 + line * (job.height - 2 * rim - 8) / 3;
    FillBox(canvas, {rim + 4, y, rim + 4 + inside * lengths[line] / 84, y + 2}, text);
  }
  if (job.hover) HoverBorder(job, canvas, 0xFFE060);
  return true;
}

}  // namespace varnel_art
