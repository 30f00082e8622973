// Pictures that demonstrate something: colour stripes and ramps, dithers,
// dissolve maps, waveforms and a tracker screen.
#include <algorithm>
#include <cmath>

#include "tools/varnel_art/paint_kit.hpp"
#include "tools/varnel_art/painters.hpp"
#include "tools/varnel_art/pixel_font.hpp"
#include "tools/varnel_art/random.hpp"

namespace varnel_art {

bool PaintStripes(const PictureJob& job, Canvas* canvas, std::string*) {
  const Color colours[] = {Rgb(0xDC2828), Rgb(0xF08C1E), Rgb(0xFADC32),
                           Rgb(0x3CB446), Rgb(0x325AD2), Rgb(0x8C3CBE)};
  const int width = std::max(2, job.look.NumberAfter("stripes", 8));
  *canvas = Canvas(job.width, job.height, Color{});
  for (int y = 0; y < job.height; ++y)
    for (int x = 0; x < job.width; ++x) canvas->Put(x, y, colours[((x + y) / width) % 6]);
  int border = 2;
  const Color edge = job.look.ColourOf("border", &border).value_or(Rgb(0xFFFFFF));
  if (job.look.Has("border")) ShapeBorder(canvas, border, edge);
  if (job.hover) Brighten(canvas, 0.25f);
  return true;
}

bool PaintRamp(const PictureJob& job, Canvas* canvas, std::string*) {
  std::vector<Color> swatches = job.look.colours;
  if (swatches.size() < 2)
    swatches = {Rgb(0x281446), Rgb(0x462878), Rgb(0x8C285A), Rgb(0xC83C3C),
                Rgb(0xE67832), Rgb(0xF0B446), Rgb(0xFAE68C), Rgb(0xFFFADC)};
  *canvas = Canvas(job.width, job.height, swatches[0]);
  const int count = static_cast<int>(swatches.size());
  for (int x = 0; x < job.width; ++x) {
    const Color c = swatches[static_cast<size_t>(std::min(count - 1, x * count / job.width))];
    for (int y = 0; y < job.height; ++y) canvas->Put(x, y, job.hover ? Lighter(c, 0.2f) : c);
  }
  return true;
}

bool PaintDither(const PictureJob& job, Canvas* canvas, std::string*) {
  const Color a = job.look.At(0, 0x1E2878), b = job.look.At(1, 0xE6C83C);
  *canvas = Canvas(job.width, job.height, a);
  const int panel = std::max(1, job.width / 5);
  for (int y = 0; y < job.height; ++y)
    for (int x = 0; x < job.width; ++x) {
      const int which = std::min(4, x / panel), px = x - which * panel;
      const bool evenPair = px % 2 == 0 && y % 2 == 0;
      Color c = a;
      switch (which) {
        case 0:
          c = px < panel / 2 ? a : b;
          break;
        case 1:
          c = evenPair ? b : a;
          break;
        case 2:
          c = (px + y) % 2 ? b : a;
          break;
        case 3:
          c = evenPair ? a : b;
          break;
        default:
          c = Mix(
              a, b,
              static_cast<float>(px) / static_cast<float>(std::max(1, job.width - 4 * panel - 1)));
      }
      canvas->Put(x, y, job.hover ? Lighter(c, 0.2f) : c);
    }
  return true;
}

bool PaintMaps(const PictureJob& job, Canvas* canvas, std::string*) {
  *canvas = Canvas(job.width, job.height, Color{}, false);
  const int gap = 8, panel = (job.width - 3 * gap) / 4;
  Random random(job.seed);
  const auto grey = [](int level) {
    const float v = 16.0f + static_cast<float>(std::clamp(level, 0, 15)) * (255.0f - 16.0f) / 15.0f;
    return Color{v, v, v};
  };
  for (int which = 0; which < 4; ++which) {
    const int x0 = which * (panel + gap);
    for (int y = 0; y < job.height; ++y)
      for (int px = 0; px < panel; ++px) {
        const double fx = px * 640.0 / panel, fy = y * 640.0 / panel;
        const double cy = job.height * 320.0 / panel;
        int level = 0;
        if (which == 0)
          level = random.Below(16);
        else if (which == 1)
          level = px * 16 / panel;
        else if (which == 2)
          level = static_cast<int>(std::hypot(fx - 320, fy - cy) * 16 / 400);
        else
          level = static_cast<int>(8 + 1.9 * (std::sin(fx / 37.0) + std::sin(fy / 23.0) +
                                              std::sin((fx + fy) / 41.0) +
                                              std::sin(std::hypot(fx - 320, fy - cy) / 29.0)));
        canvas->Put(x0 + px, y, grey(level));
      }
  }
  if (job.hover) Brighten(canvas, 0.15f);
  return true;
}

bool PaintWaves(const PictureJob& job, Canvas* canvas, std::string*) {
  const Color panelColour = job.Colour(0, job.hover ? 0x006000 : 0x002800);
  const Color line = job.Colour(1, job.hover ? 0xFFF050 : 0x50FF50);
  *canvas = Canvas(job.width, job.height, job.look.At(2, 0x181818));
  const int gap = 8, panel = (job.width - 3 * gap) / 4;
  const float high = static_cast<float>(job.height) * 0.2f,
              low = static_cast<float>(job.height) * 0.8f;
  const float period = static_cast<float>(panel) / 2;
  Random random(job.seed);
  for (int which = 0; which < 4; ++which) {
    const int x0 = which * (panel + gap);
    FillBox(canvas, {x0, 0, x0 + panel, job.height}, panelColour);
    FillBox(canvas, {x0, job.height / 2, x0 + panel, job.height / 2 + 1},
            Lighter(panelColour, 0.08f));
    std::vector<Point> points;
    for (int px = 2; px <= panel - 2; ++px) {
      const float phase = std::fmod(static_cast<float>(px - 2), period) / period;
      float y = low;
      if (which == 0)
        y = phase < 0.5f ? high : low;
      else if (which == 1)
        y = phase < 0.125f ? high : low;
      else if (which == 2)
        y = high + (low - high) * std::abs(1 - 2 * phase);
      else
        y = px % 3 == 2 || points.empty() ? random.Range(high, low) : points.back().y;
      const float x = static_cast<float>(x0 + px);
      if (!points.empty() && which < 2 && y != points.back().y)
        points.push_back({x, points.back().y});
      points.push_back({x, y});
    }
    Polyline(canvas, points, 2.0f, line);
  }
  return true;
}

bool PaintTrackerScreen(const PictureJob& job, Canvas* canvas, std::string*) {
  const Color background = job.look.At(0, 0x000040);
  const Color cyan = Rgb(0x50DCF0), white = Rgb(0xF0F0F0), grey = Rgb(0x9696A0);
  *canvas = Canvas(job.width, job.height, background);
  const int header = 12, rowHeight = 12, channel = 64;
  const int numbers = job.width - 4 * (channel + 1);
  const int cursor = 3;
  FillBox(canvas, {0, 0, job.width, header}, Rgb(0x283C8C));
  FillBox(canvas, {0, header + cursor * rowHeight, job.width, header + (cursor + 1) * rowHeight},
          Rgb(0x4670D2));
  const BlockLettering digits{BlockFont::Font3x5, 1, 1, 1};
  Random random(job.seed);
  for (int c = 0; c < 4; ++c) {
    const int x = numbers + c * (channel + 1);
    FillBox(canvas, {x, 0, x + 1, job.height}, cyan);
    DrawBlockText(canvas, digits, std::to_string(c + 1), x + channel / 2 - 1, 4, white);
  }
  for (int row = 0; header + row * rowHeight < job.height; ++row) {
    const int y = header + row * rowHeight + 4;
    const int number = 24 + row;
    DrawBlockText(canvas, digits, (number < 10 ? "0" : "") + std::to_string(number),
                  numbers / 2 - 3, y, grey);
    for (int c = 0; c < 4; ++c) {
      const int x = numbers + c * (channel + 1) + 4;
      // Note, instrument and effect as blocks of 3 x 5; an empty cell as faint dashes.
      const bool empty = random.Below(5) < 2;
      const int groups[3][2] = {{0, 3}, {16, 2}, {28, 3}};
      for (int g = 0; g < 3; ++g)
        for (int k = 0; k < groups[g][1]; ++k) {
          const int bx = x + groups[g][0] + k * 4;
          if (empty)
            FillBox(canvas, {bx, y + 2, bx + 3, y + 3}, Rgb(0x2A3470));
          else
            FillBox(canvas, {bx, y, bx + 3, y + 5}, g == 1 ? white : cyan);
        }
    }
  }
  return true;
}

}  // namespace varnel_art
