// Places and people, and the general painters for descriptions that match
// no particular motif.
#include <algorithm>
#include <cmath>

#include "tools/varnel_art/paint_kit.hpp"
#include "tools/varnel_art/painters.hpp"
#include "tools/varnel_art/random.hpp"
#include "tools/varnel_art/scenery.hpp"
#include "tools/varnel_art/text_art.hpp"

namespace varnel_art {
namespace {

// 12 x 14 blocks; each letter one colour (see PaintPortrait).
constexpr const char* kPortrait[14] = {
    "ssssssssssss", "ssssHHHHssss", "sssHhhhhHsss", "sshhhhhhhhss", "sshHhHhHhHss",
    "ssffffffffss", "ssfyffffyfss", "ssffffffffss", "ssfmffffmfss", "sssfmmmmfsss",
    "sscocococoss", "sbbcocococbs", "ebbbbocbbbbe", "ebbbbcobbbbe",
};

bool Opaque(const PictureJob& job) { return job.format == PictureFormat::Jpeg; }

}  // namespace

Color MainColour(const PictureJob& job, uint32_t fallback) {
  if (!job.look.colours.empty()) return job.look.colours[0];
  if (!job.look.named.empty()) return job.look.named[0];
  return Rgb(fallback);
}

Color SecondColour(const PictureJob& job, uint32_t fallback) {
  if (job.look.colours.size() > 1) return job.look.colours[1];
  if (job.look.named.size() > 1) return job.look.named[1];
  return Rgb(fallback);
}

void HoverBorder(const PictureJob& job, Canvas* canvas, uint32_t fallback) {
  int width = 2;
  std::optional<Color> colour = job.hoverLook.ColourOf("border", &width);
  if (!colour) colour = job.hoverLook.ColourOf("frame", &width);
  ShapeBorder(canvas, width, colour.value_or(Rgb(fallback)));
}

bool PaintPortrait(const PictureJob& job, Canvas* canvas, std::string*) {
  *canvas = Canvas(job.width, job.height, Color{});
  const int bw = std::max(1, job.width / 12), bh = std::max(1, job.height / 14);
  for (int row = 0; row < 14; ++row)
    for (int column = 0; column < 12; ++column) {
      const float t = static_cast<float>(row) / 13.0f;
      Color c;
      switch (kPortrait[row][column]) {
        case 's':
          c = Mix(Rgb(0x7A8CAA), Rgb(0xB4C0D2), t);
          break;
        case 'e':
          c = Rgb(0x142864);
          break;
        case 'H':
          c = Rgb(0x2E6A40);
          break;
        case 'h':
          c = Rgb(0x1E4A2C);
          break;
        case 'f':
          c = Rgb(0xF0D2B4);
          break;
        case 'y':
          c = Rgb(0x1E1E28);
          break;
        case 'm':
          c = Rgb(0xA05040);
          break;
        case 'o':
          c = Rgb(0xE68232);
          break;
        case 'c':
          c = Rgb(0xF0E6C8);
          break;
        default:
          c = Rgb(0x3C4664);
          break;
      }
      if (job.hover) c = Lighter(c, 0.12f);
      FillBox(canvas, {column * bw, row * bh, (column + 1) * bw, (row + 1) * bh}, c);
    }
  if (job.hover) {
    HoverBorder(job, canvas, 0xFFF03C);
    const float x = static_cast<float>(job.width) - 16, y = 8;
    FillEllipse(canvas, x, y + 11, 3.2f, 2.4f, Rgb(0xFFFFFF));
    FillBox(canvas,
            {static_cast<int>(x) + 2, static_cast<int>(y), static_cast<int>(x) + 4,
             static_cast<int>(y) + 11},
            Rgb(0xFFFFFF));
    FillSolidPolygon(canvas, {{x + 3, y}, {x + 8, y + 4}, {x + 7, y + 7}, {x + 3, y + 3}},
                     Rgb(0xFFFFFF));
  }
  return true;
}

bool PaintHall(const PictureJob& job, Canvas* canvas, std::string*) {
  const float w = static_cast<float>(job.width), h = static_cast<float>(job.height);
  *canvas = Canvas(job.width, job.height, Color{});
  VerticalGradient(canvas, {0, 0, job.width, job.height * 2 / 3}, Rgb(0x262C40), Rgb(0x3A4260));
  VerticalGradient(canvas, {0, job.height * 2 / 3, job.width, job.height}, Rgb(0x2A2430),
                   Rgb(0x161218));
  // The big screen, glowing over the wall.
  const Box screen{static_cast<int>(w * 0.36f), static_cast<int>(h * 0.25f),
                   static_cast<int>(w * 0.64f), static_cast<int>(h * 0.62f)};
  Glow(canvas, w / 2, (static_cast<float>(screen.y0 + screen.y1)) / 2, w * 0.3f, Rgb(0x78B4F0),
       0.35f);
  VerticalGradient(canvas, screen, Rgb(0x96C8F8), Rgb(0x6AA0E0));
  Bevel(canvas, screen, 1, Rgb(0x101420), Rgb(0x101420), 0.8f);
  // Lanterns on a sagging line.
  std::vector<Point> string;
  for (int i = 0; i <= 24; ++i) {
    const float t = static_cast<float>(i) / 24.0f;
    string.push_back({t * w, h * 0.06f + h * 0.12f * (1 - (2 * t - 1) * (2 * t - 1))});
  }
  Polyline(canvas, string, 1.0f, Rgb(0x141418));
  for (int i = 1; i < 12; ++i) {
    const float t = static_cast<float>(i) / 12.0f;
    const float x = t * w, y = h * 0.06f + h * 0.12f * (1 - (2 * t - 1) * (2 * t - 1)) + 6;
    Glow(canvas, x, y, 16, Rgb(0xFFB040), 0.5f);
    FillDisc(canvas, x, y, 5, Rgb(0xFFC850));
    FillDisc(canvas, x - 1.5f, y - 1.5f, 2, Rgb(0xFFF0C0), 0.7f);
  }
  // Rows of tables, nearer ones lower and thicker, each with little screens.
  Random random(job.seed);
  const Color screens[] = {Rgb(0x50F0F0), Rgb(0x60F060), Rgb(0xF060D0), Rgb(0xF0F060),
                           Rgb(0xFFFFFF)};
  for (int row = 0; row < 3; ++row) {
    const int y = static_cast<int>(h * (0.70f + 0.11f * static_cast<float>(row)));
    const int thick = 3 + row;
    FillBox(canvas, {0, y, job.width, y + thick},
            Mix(Rgb(0x6E4628), Rgb(0x8C5A32), static_cast<float>(row) / 2));
    for (int x = 4 + random.Below(6); x < job.width - 3; x += 8 + random.Below(8)) {
      const Color c = screens[random.Below(5)];
      Glow(canvas, static_cast<float>(x) + 1, static_cast<float>(y - 2), 4, c, 0.4f);
      FillBox(canvas, {x, y - 3, x + 2 + row / 2, y - 1}, c);
    }
  }
  if (job.hover) Brighten(canvas, 0.15f);
  return true;
}

bool PaintGradient(const PictureJob& job, Canvas* canvas, std::string*) {
  const Color top = MainColour(job, 0x2850A0), bottom = SecondColour(job, 0x0A1020);
  *canvas = Canvas(job.width, job.height, top);
  const bool across = job.look.Has("horizontal") || job.width > 2 * job.height;
  for (int y = 0; y < job.height; ++y)
    for (int x = 0; x < job.width; ++x) {
      const float t = across
                          ? static_cast<float>(x) / static_cast<float>(std::max(1, job.width - 1))
                          : static_cast<float>(y) / static_cast<float>(std::max(1, job.height - 1));
      canvas->Put(x, y, Mix(top, bottom, t));
    }
  return true;
}

bool PaintBars(const PictureJob& job, Canvas* canvas, std::string*) {
  *canvas = Canvas(job.width, job.height, Rgb(0x0C0C14), Opaque(job));
  const Color colours[] = {MainColour(job, 0xD07838), SecondColour(job, 0x4080E0), Rgb(0xE0C050)};
  const int bar = std::max(6, job.height / 5);
  for (int i = 0; i * bar * 3 / 2 < job.height; ++i) {
    const int y0 = i * bar * 3 / 2;
    for (int y = 0; y < bar; ++y) {
      const float shade =
          std::sin(3.14159f * (static_cast<float>(y) + 0.5f) / static_cast<float>(bar));
      const Color c =
          Mix(Scale(colours[i % 3], 0.25f), Lighter(colours[i % 3], 0.4f), shade * shade);
      for (int x = 0; x < job.width; ++x) canvas->Put(x, y0 + y, c);
    }
  }
  return true;
}

bool PaintCheckerboard(const PictureJob& job, Canvas* canvas, std::string*) {
  const Color a = MainColour(job, 0xE0E0E8), b = SecondColour(job, 0x303048);
  const int cell = std::max(2, std::min(job.width, job.height) / 8);
  *canvas = Canvas(job.width, job.height, a);
  for (int y = 0; y < job.height; ++y)
    for (int x = 0; x < job.width; ++x) canvas->Put(x, y, ((x / cell + y / cell) & 1) ? b : a);
  return true;
}

bool PaintOrb(const PictureJob& job, Canvas* canvas, std::string*) {
  *canvas = Canvas(job.width, job.height, Rgb(0x101018), Opaque(job));
  const Color colour = MainColour(job, 0x3C8CE0);
  const float cx = static_cast<float>(job.width) / 2, cy = static_cast<float>(job.height) / 2;
  const float r = static_cast<float>(std::min(job.width, job.height)) / 2 - 1;
  for (int y = 0; y < job.height; ++y)
    for (int x = 0; x < job.width; ++x) {
      const float nx = (static_cast<float>(x) + 0.5f - cx) / r,
                  ny = (static_cast<float>(y) + 0.5f - cy) / r;
      const float n2 = nx * nx + ny * ny;
      if (n2 > 1) continue;
      const float lit = std::max(0.0f, -0.5f * nx - 0.6f * ny + 0.62f * std::sqrt(1 - n2));
      const float spot = std::pow(lit, 24.0f);
      canvas->Put(x, y, Lighter(Scale(colour, 0.25f + 0.85f * lit), spot * 0.9f));
    }
  return true;
}

bool PaintStarfield(const PictureJob& job, Canvas* canvas, std::string*) {
  *canvas = Canvas(job.width, job.height, Rgb(0x06081A), Opaque(job));
  if (Opaque(job))
    VerticalGradient(canvas, {0, 0, job.width, job.height}, Rgb(0x04061A), Rgb(0x181040));
  Stars(canvas, 0, job.height + job.height / 3, job.width * job.height / 60, job.seed);
  return true;
}

bool PaintGrid(const PictureJob& job, Canvas* canvas, std::string*) {
  const Color line = MainColour(job, 0x50C8F0), ground = SecondColour(job, 0x0C1430);
  *canvas = Canvas(job.width, job.height, ground);
  const int cell = std::max(4, std::min(job.width, job.height) / 6);
  for (int y = 0; y < job.height; ++y)
    for (int x = 0; x < job.width; ++x)
      if (x % cell == 0 || y % cell == 0)
        canvas->Put(x, y, line);
      else if ((x / cell + y / cell) % 2)
        canvas->Put(x, y, Mix(ground, line, 0.12f));
  return true;
}

bool PaintGlyph(const PictureJob& job, Canvas* canvas, std::string* error) {
  *canvas = Canvas(job.width, job.height, Rgb(0x101018), Opaque(job));
  std::string letter = job.look.CapitalWord("").substr(0, 1);
  if (letter.empty()) letter = job.title.substr(0, 1);
  const Color colour = MainColour(job, 0x60C0FF);
  LetteringStyle style;
  style.fill = {Lighter(colour, 0.7f), colour, Scale(colour, 0.45f), Lighter(colour, 0.4f)};
  style.outline = Scale(colour, 0.15f);
  style.outlineWidth = 1;
  style.shadowStrength = 0;
  const FontRequest font{"Arial", job.height * 9 / 10, true, false, 2};
  TextSize size;
  if (!MeasureText(font, letter, &size, error)) return false;
  return DrawCenteredLettering(canvas, font, letter, job.width / 2, (job.height - size.height) / 2,
                               style, error);
}

bool PaintSunset(const PictureJob& job, Canvas* canvas, std::string*) {
  *canvas = Canvas(job.width, job.height, Color{});
  const int horizon = job.height * 3 / 5;
  BandedSky(canvas, 0, horizon, {Rgb(0x1A1448), MainColour(job, 0xB83C6A), Rgb(0xFFB060)},
            std::max(1, job.height / 40));
  SlitSun(canvas, static_cast<float>(job.width) * 0.6f, static_cast<float>(horizon),
          static_cast<float>(job.height) / 4, Rgb(0xFFE870), Rgb(0xFF3C70));
  Sea(canvas, horizon, Rgb(0x100C28), Rgb(0x503060), static_cast<float>(job.width) * 0.6f,
      Rgb(0xFFD890), job.seed);
  return true;
}

}  // namespace varnel_art
