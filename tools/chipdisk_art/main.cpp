// chipdisk-art: paints the music disk's pictures into a folder as PNG files,
// named in the order the data file holds them:
//   0-hotspots.png (8-bit grey codes), 1-closing.png, 2-main.png,
//   3-title.png, 4-main-lit.png, 5-farewell.png
// The same arguments always give the same bytes.
#include <string>

#include "tools/chipdat/png_io.hpp"
#include "tools/chipdisk_art/disk_art.hpp"
#include "tools/chipdisk_art/disk_layout.hpp"
#include "tools/common/tool_support.hpp"

namespace {

constexpr const char* kUsage = "usage: chipdisk-art -o OUTDIR [--name TEXT]\n";

void WriteRgb(const std::string& path, const varnel_art::Canvas& canvas) {
  chipdat::PlaneImage image;
  image.width = static_cast<uint32_t>(canvas.width);
  image.height = static_cast<uint32_t>(canvas.height);
  image.planes = 3;
  image.pixels = varnel_art::ToRgb8(canvas, varnel_art::Dither::None);
  std::string error;
  if (!chipdat::WritePlanePng(path, image, error)) tools::Fail(error);
}

}  // namespace

int main(int argc, char** argv) {
  tools::StartTool("chipdisk-art");
  std::string outputDir;
  chipdisk_art::DiskInfo disk;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-o" && i + 1 < argc)
      outputDir = argv[++i];
    else if (arg == "--name" && i + 1 < argc)
      disk.name = argv[++i];
    else
      tools::UsageError(kUsage);
  }
  if (outputDir.empty() || disk.name.empty()) tools::UsageError(kUsage);

  chipdat::PlaneImage map;
  map.width = chipdisk_art::kScreenWidth;
  map.height = chipdisk_art::kScreenHeight;
  map.planes = 1;
  map.pixels = chipdisk_art::HotspotCodes();
  std::string error;
  if (!chipdat::WritePlanePng(outputDir + "/0-hotspots.png", map, error)) tools::Fail(error);

  varnel_art::Canvas canvas;
  if (!chipdisk_art::PaintFirstClosing(disk, &canvas, &error)) tools::Fail(error);
  WriteRgb(outputDir + "/1-closing.png", canvas);
  if (!chipdisk_art::PaintMainScreen(disk, false, &canvas, &error)) tools::Fail(error);
  WriteRgb(outputDir + "/2-main.png", canvas);
  if (!chipdisk_art::PaintTitle(disk, &canvas, &error)) tools::Fail(error);
  WriteRgb(outputDir + "/3-title.png", canvas);
  if (!chipdisk_art::PaintMainScreen(disk, true, &canvas, &error)) tools::Fail(error);
  WriteRgb(outputDir + "/4-main-lit.png", canvas);
  if (!chipdisk_art::PaintLastClosing(disk, &canvas, &error)) tools::Fail(error);
  WriteRgb(outputDir + "/5-farewell.png", canvas);
  return 0;
}
