#include "tools/marigold_content/pictures.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

namespace demotools {

namespace {

constexpr float kTau = 6.28318530718f;
constexpr int kJpegQuality = 92;

struct Rgb {
  float r, g, b;
};

Rgb Hue(float h) {
  return {0.5f + 0.5f * std::cos(kTau * (h + 0.0f)), 0.5f + 0.5f * std::cos(kTau * (h + 0.33f)),
          0.5f + 0.5f * std::cos(kTau * (h + 0.67f))};
}

uint8_t Byte(float v) { return static_cast<uint8_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); }

Picture Blank(int width, int height) {
  Picture p;
  p.width = width;
  p.height = height;
  p.rgb.assign(size_t(width) * size_t(height) * 3, 0);
  return p;
}

void Put(Picture* p, int x, int y, Rgb c) {
  uint8_t* px = &p->rgb[(size_t(y) * size_t(p->width) + size_t(x)) * 3];
  px[0] = Byte(c.r);
  px[1] = Byte(c.g);
  px[2] = Byte(c.b);
}

uint32_t Hash(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return x;
}

const std::map<char, std::array<const char*, 5>>& Glyphs() {
  static const std::map<char, std::array<const char*, 5>> glyphs = {
      {'A', {".###.", "#...#", "#####", "#...#", "#...#"}}, {'D', {"####.", "#...#", "#...#", "#...#", "####."}},
      {'G', {".####", "#....", "#.###", "#...#", ".###."}}, {'H', {"#...#", "#...#", "#####", "#...#", "#...#"}},
      {'I', {"#####", "..#..", "..#..", "..#..", "#####"}}, {'K', {"#...#", "#..#.", "###..", "#..#.", "#...#"}},
      {'L', {"#....", "#....", "#....", "#....", "#####"}}, {'M', {"#...#", "##.##", "#.#.#", "#...#", "#...#"}},
      {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#"}}, {'O', {".###.", "#...#", "#...#", "#...#", ".###."}},
      {'R', {"####.", "#...#", "####.", "#..#.", "#...#"}}, {'T', {"#####", "..#..", "..#..", "..#..", "..#.."}},
      {'X', {"#...#", ".#.#.", "..#..", ".#.#.", "#...#"}}, {'E', {"#####", "#....", "####.", "#....", "#####"}},
      {'P', {"####.", "#...#", "####.", "#....", "#...."}}, {'S', {".####", "#....", ".###.", "....#", "####."}},
      {'W', {"#...#", "#...#", "#.#.#", "##.##", "#...#"}}, {'U', {"#...#", "#...#", "#...#", "#...#", ".###."}},
      {'Y', {"#...#", ".#.#.", "..#..", "..#..", "..#.."}}, {'.', {".....", ".....", ".....", ".....", "..#.."}},
  };
  return glyphs;
}

// Coverage of the block letters at a point, 1 inside a block, falling off
// softly outside (distance in cells).
float LetterDistance(const std::string& text, float x, float y) {
  // x, y in glyph cells; letters on a 6-cell advance, 5 tall.
  float best = 1e9f;
  const int column = static_cast<int>(std::floor(x));
  const int row = static_cast<int>(std::floor(y));
  for (int dy = -4; dy <= 4; ++dy) {
    for (int dx = -4; dx <= 4; ++dx) {
      const int cx = column + dx, cy = row + dy;
      if (cy < 0 || cy >= 5 || cx < 0) continue;
      const size_t letter = size_t(cx / 6);
      const int col = cx % 6;
      if (letter >= text.size() || col == 5) continue;
      const auto g = Glyphs().find(text[letter]);
      if (g == Glyphs().end() || g->second[size_t(cy)][col] != '#') continue;
      const float ex = std::max({static_cast<float>(cx) - x, 0.0f, x - static_cast<float>(cx + 1)});
      const float ey = std::max({static_cast<float>(cy) - y, 0.0f, y - static_cast<float>(cy + 1)});
      best = std::min(best, std::sqrt(ex * ex + ey * ey));
    }
  }
  return best;
}

}  // namespace

Picture TitleCard(int width, int height, const std::string& text, float hue, bool stars, bool background) {
  Picture p = Blank(width, height);
  const float columns = static_cast<float>(text.size() * 6 - 1);
  const float cell = std::min(static_cast<float>(width) * 0.8f / columns, static_cast<float>(height) * 0.25f);
  const float left = (static_cast<float>(width) - columns * cell) / 2;
  const float top = (static_cast<float>(height) - 5 * cell) / 2;
  const Rgb glow = Hue(hue);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const float fy = static_cast<float>(y) / static_cast<float>(height);
      const float fx = static_cast<float>(x) / static_cast<float>(width);
      Rgb c{0.02f + 0.10f * fy * glow.b, 0.01f + 0.05f * fy, 0.06f + 0.12f * fy * glow.r};
      if (!background) c = {0, 0, 0};
      // A soft horizon band.
      const float band = background ? std::exp(-std::pow((fy - 0.5f) * 6.0f, 2.0f)) * 0.25f : 0.0f;
      c = {c.r + band * glow.r, c.g + band * glow.g, c.b + band * glow.b};
      if (stars && (Hash(uint32_t(y * width + x)) & 0x3FF) == 0) {
        const float s = 0.4f + 0.6f * fx;
        c = {c.r + s, c.g + s, c.b + s};
      }
      const float d = LetterDistance(text, (static_cast<float>(x) - left) / cell, (static_cast<float>(y) - top) / cell);
      if (d <= 0) {
        const float shade = 0.75f + 0.25f * (1 - fy);
        c = {0.9f * shade + 0.1f * glow.r, 0.9f * shade + 0.1f * glow.g, 0.9f * shade + 0.1f * glow.b};
      } else {
        const float g = std::exp(-d * 1.6f) * 0.9f;
        c = {c.r + g * glow.r, c.g + g * glow.g, c.b + g * glow.b};
      }
      Put(&p, x, y, c);
    }
  }
  return p;
}

Picture Plasma(int size, float hue) {
  Picture p = Blank(size, size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const float u = kTau * static_cast<float>(x) / static_cast<float>(size);
      const float v = kTau * static_cast<float>(y) / static_cast<float>(size);
      const float t = std::sin(u * 2) + std::sin(v * 3) + std::sin(u + v) + std::sin(2 * u - v) * 0.5f;
      const Rgb c = Hue(hue + t * 0.07f);
      const float lit = 0.55f + 0.45f * std::sin(t * 2.0f);
      Put(&p, x, y, {c.r * lit, c.g * lit, c.b * lit});
    }
  }
  return p;
}

Picture Metal(int size) {
  Picture p = Blank(size, size);
  for (int y = 0; y < size; ++y) {
    float streak = 0;
    for (int x = 0; x < size; ++x) {
      streak = streak * 0.9f + 0.1f * static_cast<float>(Hash(uint32_t(y * 7919 + x / 3)) & 0xFF) / 255.0f;
      const float v = kTau * static_cast<float>(y) / static_cast<float>(size);
      const float base = 0.55f + 0.15f * std::sin(v * 8) + 0.2f * streak;
      // Rivet rows.
      const int cx = x % 64 - 32, cy = y % 64 - 32;
      const float rivet = (cx * cx + cy * cy < 25) ? 0.25f : 0.0f;
      Put(&p, x, y, {base + rivet, base * 0.85f + rivet, base * 0.6f + rivet});
    }
  }
  return p;
}

Picture Medallion(int size, float hue) {
  Picture p = Blank(size, size);
  const Rgb a = Hue(hue), b = Hue(hue + 0.3f);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const float u = 2.0f * static_cast<float>(x) / static_cast<float>(size) - 1;
      const float v = 2.0f * static_cast<float>(y) / static_cast<float>(size) - 1;
      const float r = std::sqrt(u * u + v * v);
      const float angle = std::atan2(v, u);
      const float petals = 0.55f + 0.3f * std::cos(angle * 8);
      const float inside = std::clamp((petals - r) * 8, 0.0f, 1.0f);
      const float core = std::clamp((0.22f - r) * 12, 0.0f, 1.0f);
      const float halo = std::exp(-r * 3.5f) * 0.6f;
      const float vein = 0.7f + 0.3f * std::cos(r * 40);
      Rgb c{a.r * inside * vein + halo * b.r + core, a.g * inside * vein + halo * b.g + core * 0.8f,
            a.b * inside * vein + halo * b.b + core * 0.3f};
      const float edge = std::clamp((1.0f - r) * 5, 0.0f, 1.0f);  // black at the rim for the additive blend
      Put(&p, x, y, {c.r * edge, c.g * edge, c.b * edge});
    }
  }
  return p;
}

Picture Nebula(int width, int height, float hue) {
  Picture p = Blank(width, height);
  // Value noise on a lattice that wraps horizontally.
  const auto lattice = [](int x, int y, int period, uint32_t seed) {
    x = ((x % period) + period) % period;
    return static_cast<float>(Hash(uint32_t(x) * 73856093U ^ uint32_t(y) * 19349663U ^ seed) & 0xFFFF) / 65535.0f;
  };
  const auto noise = [&](float x, float y, int period, uint32_t seed) {
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const float fx = x - static_cast<float>(x0), fy = y - static_cast<float>(y0);
    const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const float a = lattice(x0, y0, period, seed), b = lattice(x0 + 1, y0, period, seed);
    const float c = lattice(x0, y0 + 1, period, seed), d = lattice(x0 + 1, y0 + 1, period, seed);
    return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
  };
  const Rgb a = Hue(hue), b = Hue(hue + 0.25f);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      float cloud = 0, amplitude = 0.55f;
      int period = 4;
      for (int octave = 0; octave < 5; ++octave) {
        const float scale = static_cast<float>(period) / static_cast<float>(width);
        cloud += amplitude * noise(static_cast<float>(x) * scale, static_cast<float>(y) * scale, period, uint32_t(octave));
        amplitude *= 0.5f;
        period *= 2;
      }
      const float mix = noise(static_cast<float>(x) * 3.0f / static_cast<float>(width),
                              static_cast<float>(y) * 3.0f / static_cast<float>(width), 3, 99);
      const float density = std::pow(std::clamp(cloud - 0.25f, 0.0f, 1.0f), 1.6f) * 1.4f;
      Rgb c{(a.r * (1 - mix) + b.r * mix) * density, (a.g * (1 - mix) + b.g * mix) * density,
            (a.b * (1 - mix) + b.b * mix) * density};
      const uint32_t h = Hash(uint32_t(y * width + x) ^ 0x5bd1e995U);
      if ((h & 0x1FF) == 0) {
        const float star = 0.5f + static_cast<float>((h >> 9) & 0xFF) / 510.0f;
        c = {c.r + star, c.g + star, c.b + star};
      }
      Put(&p, x, y, c);
    }
  }
  return p;
}

bool WriteJpeg(const std::string& path, const Picture& picture, std::string* error) {
  std::vector<uint8_t> bytes;
  platform::JpegEncodeOptions options;
  options.quality = kJpegQuality;
  if (!platform::EncodeJpeg(picture, options, &bytes)) {
    *error = "cannot encode " + path;
    return false;
  }
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    *error = "cannot create " + path;
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace demotools
