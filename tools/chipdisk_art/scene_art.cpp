// The title and the two closing pictures: sunset and night scenes with the
// disk's logo.
#include "tools/chipdisk_art/disk_art.hpp"
#include "tools/chipdisk_art/disk_layout.hpp"
#include "tools/chipdisk_art/lettering.hpp"
#include "tools/varnel_art/random.hpp"
#include "tools/varnel_art/scenery.hpp"

namespace chipdisk_art {

using namespace varnel_art;

namespace {

constexpr int kCentreX = kScreenWidth / 2;

bool Logo(Canvas* canvas, const DiskInfo& disk, int size, int y, std::string* error) {
  FontRequest font{"DejaVu Sans", size, true, false, 2};
  if (!FitFont(&font, disk.name, 600, error)) return false;
  return DrawCenteredLettering(canvas, font, disk.name, kCentreX, y, ChromeLogo(), error);
}

}  // namespace

bool PaintTitle(const DiskInfo& disk, Canvas* canvas, std::string* error) {
  constexpr int kHorizon = 316;
  *canvas = Canvas(kScreenWidth, kScreenHeight, Color{});
  BandedSky(
      canvas, 0, kHorizon,
      {Rgb(0x05041E), Rgb(0x160A40), Rgb(0x3A1060), Rgb(0x7A1870), Rgb(0xD03A78), Rgb(0xFF8A60)},
      5);
  Stars(canvas, 0, 200, 300, HashText(disk.name + "title stars"));
  RasterBar(canvas, 150, 5, Rgb(0x40D0FF), 0.7f);
  RasterBar(canvas, 160, 3, Rgb(0xFF60C0), 0.6f);
  SlitSun(canvas, kCentreX, kHorizon, 128, Rgb(0xFFF070), Rgb(0xFF2A80));
  CheckerFloor(canvas, kHorizon, Rgb(0x120828), Rgb(0x7A2C8C), Rgb(0xF07A7A));
  Glow(canvas, kCentreX, kHorizon, 200, Rgb(0xFF80A0), 0.35f);
  return Logo(canvas, disk, 96, 36, error) &&
         DrawCenteredLettering(canvas, {"DejaVu Serif", 34, false, true, 2}, "chip music disk",
                               kCentreX, 176, NeonPink(), error) &&
         DrawCenteredLettering(canvas, {"DejaVu Sans", 18, true, false, 2},
                               "19 TUNES  \xB7  XM  \xB7  IT  \xB7  S3M  \xB7  MOD", kCentreX, 432,
                               SoftLettering(Rgb(0xFFE8F0), Rgb(0x200818)), error);
}

bool PaintFirstClosing(const DiskInfo& disk, Canvas* canvas, std::string* error) {
  constexpr int kHorizon = 300;
  *canvas = Canvas(kScreenWidth, kScreenHeight, Color{});
  BandedSky(canvas, 0, kHorizon,
            {Rgb(0x0A0628), Rgb(0x2A0C50), Rgb(0x6A1460), Rgb(0xB83060), Rgb(0xF08050)}, 6);
  Stars(canvas, 0, 180, 200, HashText(disk.name + "dusk"));
  SlitSun(canvas, kCentreX, kHorizon, 96, Rgb(0xFFD060), Rgb(0xFF4050));
  CheckerFloor(canvas, kHorizon, Rgb(0x100620), Rgb(0x9A3850), Rgb(0xE07058));
  Glow(canvas, kCentreX, kHorizon, 160, Rgb(0xFF9068), 0.3f);
  return DrawCenteredLettering(canvas, {"DejaVu Serif", 48, false, true, 2}, "thanks for listening",
                               kCentreX, 90, NeonPink(), error) &&
         DrawCenteredLettering(canvas, {"DejaVu Sans", 20, true, false, 2},
                               "keep the music playing", kCentreX, 400,
                               SoftLettering(Rgb(0xFFE6D0), Rgb(0x200818)), error);
}

bool PaintLastClosing(const DiskInfo& disk, Canvas* canvas, std::string* error) {
  constexpr int kHorizon = 292;
  *canvas = Canvas(kScreenWidth, kScreenHeight, Color{});
  BandedSky(canvas, 0, kHorizon, {Rgb(0x02030C), Rgb(0x080E2C), Rgb(0x18245A), Rgb(0x34467E)}, 4);
  Stars(canvas, 0, 260, 420, HashText(disk.name + "night"));
  Moon(canvas, 500, 140, 38, HashText(disk.name + "moon"));
  Sea(canvas, kHorizon, Rgb(0x030614), Rgb(0x18244C), 500, Rgb(0xE8E4D0),
      HashText(disk.name + "sea"));
  return Logo(canvas, disk, 64, 40, error) &&
         DrawCenteredLettering(canvas, {"DejaVu Serif", 36, false, true, 2},
                               "see you on the next disk", kCentreX, 340,
                               SoftLettering(Rgb(0xFFE6B0), Rgb(0x0A0C20)), error) &&
         DrawCenteredLettering(canvas, {"DejaVu Sans", 16, true, false, 2},
                               "all tunes made in a tracker, all pictures in code", kCentreX, 410,
                               SoftLettering(Rgb(0xA8C0E8), Rgb(0x05081A)), error);
}

}  // namespace chipdisk_art
