// Objects drawn on pure black, which the reader leaves transparent.
#include <algorithm>
#include <cmath>

#include "tools/varnel_art/paint_kit.hpp"
#include "tools/varnel_art/painters.hpp"
#include "tools/varnel_art/pixel_font.hpp"

namespace varnel_art {
namespace {

void Transparent(const PictureJob& job, Canvas* canvas) {
  *canvas = Canvas(job.width, job.height, Color{}, false);
}

}  // namespace

bool PaintFloppy(const PictureJob& job, Canvas* canvas, std::string*) {
  Transparent(job, canvas);
  const DesignGrid g(*canvas, 96, 96);
  const Color body = job.look.At(0, 0x1E3282);
  FillSolidPolygon(canvas, {g.P(4, 4), g.P(80, 4), g.P(92, 16), g.P(92, 92), g.P(4, 92)},
                   Lighter(body, 0.3f));
  FillSolidPolygon(canvas, {g.P(5, 5), g.P(79.5f, 5), g.P(91, 16.5f), g.P(91, 91), g.P(5, 91)},
                   body);
  const Box shutter = g.B(28, 4, 68, 34);
  VerticalGradient(canvas, shutter, Rgb(0xD8DCE4), Rgb(0x9498A6));
  FillBox(canvas, {shutter.x0, shutter.y0, shutter.x1, shutter.y0 + 1}, Rgb(0xF0F2F6));
  FillBox(canvas, g.B(50, 9, 60, 29), Rgb(0x3C3C48));
  FillBox(canvas, g.B(16, 48, 80, 88), Rgb(0xF8F8F8));
  for (const float y : {60.0f, 70.0f, 80.0f}) FillBox(canvas, g.B(22, y, 74, y + 1), Rgb(0xA0A0AA));
  if (job.hover) Brighten(canvas, 0.2f);
  return true;
}

bool PaintMouse(const PictureJob& job, Canvas* canvas, std::string*) {
  Transparent(job, canvas);
  const DesignGrid g(*canvas, 48, 64);
  const Color body = job.look.At(0, 0xC8C8D2);
  const Box shell = g.B(6, 13, 42, 63);
  FillRoundBox(canvas, shell, 14 * g.sx, body);
  // Lit from the upper left.
  for (int y = shell.y0; y < shell.y1; ++y)
    for (int x = shell.x0; x < shell.x1; ++x)
      if (canvas->Solid(x, y))
        canvas->Put(
            x, y,
            Scale(body, 1.04f - 0.2f * static_cast<float>(x - shell.x0 + y - shell.y0) /
                                    static_cast<float>(shell.x1 - shell.x0 + shell.y1 - shell.y0)));
  const int split = g.B(0, 31, 0, 31).y0, middle = (shell.x0 + shell.x1) / 2;
  for (int y = shell.y0; y < split; ++y)
    for (int x = shell.x0; x < shell.x1; ++x)
      if (canvas->Solid(x, y))
        canvas->Put(x, y,
                    Mix(canvas->At(x, y),
                        x < middle ? job.look.At(1, 0x78DC78) : job.look.At(2, 0xF0A050), 0.75f));
  const Color line = Rgb(0x46464E);
  FillBox(canvas, {middle - 1, shell.y0, middle + 1, split}, line);
  for (int x = shell.x0; x < shell.x1; ++x)
    if (canvas->Solid(x, split)) canvas->Put(x, split, line);
  OutlineOutside(canvas, Rgb(0x3C3C46));
  // The cable, from the top of the body to the top edge.
  std::vector<Point> cable;
  for (int i = 0; i <= 12; ++i) {
    const float t = static_cast<float>(i) / 12.0f, u = 1 - t;
    const float x = u * u * u * 24 + 3 * u * u * t * 24 + 3 * u * t * t * 36 + t * t * t * 32;
    const float y = u * u * u * 12 + 3 * u * u * t * 4 + 3 * u * t * t * 9 + t * t * t * 0;
    cable.push_back(g.P(x, y));
  }
  Polyline(canvas, cable, 2.2f * g.sx, Rgb(0x96969E));
  if (job.hover) Brighten(canvas, 0.2f);
  return true;
}

bool PaintBall(const PictureJob& job, Canvas* canvas, std::string*) {
  Transparent(job, canvas);
  const float scale = static_cast<float>(std::min(job.width, job.height)) / 80.0f;
  const float cx = static_cast<float>(job.width) / 2, cy = 38 * scale, r = 32 * scale;
  const float side = job.hover ? 1.0f : -1.0f;  // the light's side
  FillEllipse(canvas, cx, 74 * scale, 24 * scale, 4 * scale, job.look.At(2, 0x1E1E28));
  const Color dark = job.look.At(0, 0x5A141E), light = job.look.At(1, 0xFFAA96);
  const std::vector<Color> bands = {dark, Rgb(0x96202C), Rgb(0xC83638), Rgb(0xEB6A5A), light};
  const float lx = 0.58f * side, ly = -0.58f, lz = 0.57f;
  for (int y = 0; y < job.height; ++y)
    for (int x = 0; x < job.width; ++x) {
      const float nx = (static_cast<float>(x) + 0.5f - cx) / r,
                  ny = (static_cast<float>(y) + 0.5f - cy) / r;
      const float n2 = nx * nx + ny * ny;
      if (n2 > 1) continue;
      const float lit = nx * lx + ny * ly + std::sqrt(1 - n2) * lz;
      const int band = std::clamp(static_cast<int>((lit * 0.5f + 0.5f) * 6.0f) - 1, 0, 4);
      canvas->Put(x, y, bands[static_cast<size_t>(band)]);
    }
  const int hx = static_cast<int>(cx + side * 15 * scale) - (job.hover ? 0 : 4),
            hy = static_cast<int>(cy - 15 * scale) - 4;
  FillBox(canvas, {hx, hy, hx + 4, hy + 4}, Rgb(0xFFFFFF));
  // A one-pixel rim on the ball's own edge.
  const Color rim = job.hover ? Rgb(0xF08C28) : Rgb(0x3C0A14);
  for (int y = 0; y < job.height; ++y)
    for (int x = 0; x < job.width; ++x) {
      const float dx = static_cast<float>(x) + 0.5f - cx, dy = static_cast<float>(y) + 0.5f - cy;
      if (dx * dx + dy * dy > r * r) continue;
      const auto outside = [&](int px, int py) {
        const float ex = static_cast<float>(px) + 0.5f - cx,
                    ey = static_cast<float>(py) + 0.5f - cy;
        return ex * ex + ey * ey > r * r;
      };
      if (outside(x - 1, y) || outside(x + 1, y) || outside(x, y - 1) || outside(x, y + 1))
        canvas->Put(x, y, rim);
    }
  return true;
}

bool PaintTicket(const PictureJob& job, Canvas* canvas, std::string*) {
  Transparent(job, canvas);
  const Color paper = job.Colour(0, job.hover ? 0xFFE65A : 0xF0E6C8);
  const float notch = static_cast<float>(job.height) / 6.0f,
              middle = static_cast<float>(job.height) / 2;
  const float width = static_cast<float>(job.width);
  FillSolid(
      canvas, {0, 0, job.width, job.height},
      [=](float x, float y) {
        const float left = x * x + (y - middle) * (y - middle),
                    right = (width - x) * (width - x) + (y - middle) * (y - middle);
        return left > notch * notch && right > notch * notch;
      },
      paper);
  const Color ink = job.hover ? Rgb(0xDC2828) : Rgb(0x8C1E1E);
  const int tear = job.width * 3 / 4;
  for (int y = 2; y < job.height - 2; y += 5)
    FillBox(canvas, {tear, y, tear + 1, y + 3}, Rgb(0x5A463C));
  const std::string word = job.look.CapitalWord("ADMIT ONE");
  const BlockLettering small{BlockFont::Font5x7, 1, 1, 1};
  DrawBlockText(canvas, small, word, (tear - BlockTextWidth(small, word)) / 2, (job.height - 7) / 2,
                ink);
  const std::string number = std::to_string(job.look.NumberAfter("number", 99));
  const int dot =
      std::max(1, std::min(job.height / 16, (job.width - tear - static_cast<int>(notch) - 4) /
                                                (6 * static_cast<int>(number.size()))));
  const BlockLettering big{BlockFont::Font5x7, dot, dot, dot};
  const int room = job.width - static_cast<int>(notch) - 2 - tear;  // clear of the notch
  DrawBlockText(canvas, big, number, tear + 1 + (room - BlockTextWidth(big, number)) / 2,
                (job.height - BlockTextHeight(big)) / 2, ink);
  if (job.hover) ShapeBorder(canvas, 2, job.hoverLook.ColourOf("outline").value_or(Rgb(0xDC2828)));
  return true;
}

bool PaintMasthead(const PictureJob& job, Canvas* canvas, std::string*) {
  const Color left = job.look.At(0, 0x0A0E28), right = job.look.At(1, 0x0A3C50);
  *canvas = Canvas(job.width, job.height, left);
  for (int x = 0; x < job.width; ++x) {
    const Color c =
        Mix(left, right, static_cast<float>(x) / static_cast<float>(std::max(1, job.width - 1)));
    for (int y = 0; y < job.height; ++y) canvas->Put(x, y, c);
  }
  const int line = std::max(1, job.height / 24);
  FillBox(canvas, {0, job.height - line, job.width, job.height}, job.look.At(2, 0xFFC860));
  const std::string word = job.look.CapitalWord(job.title);
  int dot = std::max(1, (job.height - line - 4) / 7);
  while (dot > 1 && BlockTextWidth({BlockFont::Font5x7, dot, dot, dot}, word) > job.width - 8)
    --dot;
  const BlockLettering style{BlockFont::Font5x7, dot, dot, dot};
  const int x = (job.width - BlockTextWidth(style, word)) / 2,
            y = (job.height - line - BlockTextHeight(style)) / 2;
  // A drop shadow a third of a block down and right, darker than the ground.
  const int drop = std::max(1, dot / 3);
  DrawBlockText(canvas, style, word, x + drop, y + drop, Scale(left, 0.35f));
  DrawBlockText(canvas, style, word, x, y, Rgb(0xFFFFFF));
  return true;
}

}  // namespace varnel_art
