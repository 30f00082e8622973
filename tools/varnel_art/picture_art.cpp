#include "tools/varnel_art/picture_art.hpp"

#include <algorithm>
#include <cctype>
#include <initializer_list>

#include "tools/varnel_art/paint_kit.hpp"
#include "tools/varnel_art/painters.hpp"
#include "tools/varnel_art/random.hpp"

namespace varnel_art {
namespace {

struct Rule {
  const char* name;
  std::initializer_list<const char*> allOf;  // phrases that must all appear
  Painter painter;
  bool general = false;  // knows nothing of hover variants itself
};

// First match wins: particular motifs, then the general painters.
const Rule kRules[] = {
    {"floppy button", {"menu button", "floppy"}, PaintFloppyButton},
    {"sheets button", {"menu button", "sheets"}, PaintSheetsButton},
    {"tags button", {"menu button", "characters"}, PaintTagsButton},
    {"pointer button", {"menu button", "pointer"}, PaintPointerButton},
    {"tracker button", {"menu button", "tracker"}, PaintTrackerButton},
    {"bubble button", {"menu button", "bubble"}, PaintBubbleButton},
    {"lighthouse button", {"menu button", "lighthouse"}, PaintLighthouseButton},
    {"pixel grid button", {"menu button", "grid"}, PaintPixelGridButton},
    {"dissolve button", {"menu button", "checkerboard"}, PaintDissolveButton},
    {"question button", {"menu button", "question mark"}, PaintQuestionButton},
    {"cd button", {"cd control"}, PaintCdButton},
    {"note button", {"music button"}, PaintNoteButton},
    {"note button", {"eighth note"}, PaintNoteButton},
    {"silence button", {"loudspeaker"}, PaintSilenceButton},
    {"masthead", {"masthead"}, PaintMasthead},
    {"masthead", {"capitals"}, PaintMasthead},
    {"floppy", {"floppy"}, PaintFloppy},
    {"mouse", {"mouse"}, PaintMouse},
    {"ticket", {"ticket"}, PaintTicket},
    {"ball", {"ball"}, PaintBall},
    {"tracker screen", {"tracker pattern"}, PaintTrackerScreen},
    {"waves", {"waveform"}, PaintWaves},
    {"portrait", {"portrait"}, PaintPortrait},
    {"hall", {"hall"}, PaintHall},
    {"maps", {"grey levels"}, PaintMaps},
    {"maps", {"greyscale panels"}, PaintMaps},
    {"dither", {"dither"}, PaintDither},
    {"ramp", {"ramp"}, PaintRamp},
    {"stripes", {"stripes"}, PaintStripes},
    {"mini screen", {"miniature screen"}, PaintMiniScreen},
    {"word button", {"button", "word"}, PaintWordButton},
    {"checkerboard", {"checker"}, PaintCheckerboard, true},
    {"gradient", {"gradient"}, PaintGradient, true},
    {"bars", {"bars"}, PaintBars, true},
    {"bars", {"copper"}, PaintBars, true},
    {"orb", {"circle"}, PaintOrb, true},
    {"orb", {"disc"}, PaintOrb, true},
    {"orb", {"orb"}, PaintOrb, true},
    {"orb", {"sphere"}, PaintOrb, true},
    {"waves", {"wave"}, PaintWaves, true},
    {"starfield", {"star"}, PaintStarfield, true},
    {"grid", {"grid"}, PaintGrid, true},
    {"grid", {"pattern"}, PaintGrid, true},
    {"glyph", {"glyph"}, PaintGlyph, true},
    {"glyph", {"letter"}, PaintGlyph, true},
    {"orb", {"icon"}, PaintOrb, true},
};

const Rule kPhoto{"sunset", {}, PaintSunset, true};
const Rule kPlain{"gradient", {}, PaintGradient, true};

const Rule& RuleFor(const PictureJob& job) {
  for (const Rule& rule : kRules)
    if (std::all_of(rule.allOf.begin(), rule.allOf.end(),
                    [&](const char* phrase) { return job.look.Has(phrase); }))
      return rule;
  return job.format == PictureFormat::Jpeg ? kPhoto : kPlain;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// JPEG pictures have no transparent pixels, and their darkest colours are
// lifted so that compression noise never rounds one down to pure black.
void MakeOpaque(Canvas* canvas) {
  constexpr float kFloor = 32;
  for (size_t i = 0; i < canvas->pixels.size(); ++i) {
    Color& c = canvas->pixels[i];
    canvas->solid[i] = 1;
    const float lift = kFloor - std::max({c.r, c.g, c.b});
    if (lift > 0) c = Add(c, {lift, lift, lift});
  }
}

}  // namespace

PictureJob JobFor(const ManifestEntry& entry, const std::vector<ManifestEntry>& all,
                  const std::string& title) {
  PictureJob job;
  job.width = entry.width;
  job.height = entry.height;
  job.format = entry.format;
  job.hover = IsHoverEntry(entry);
  const ManifestEntry* base = job.hover ? FindHoverBase(entry, all) : nullptr;
  job.look = ParseDescription(base ? base->description : entry.description);
  job.hoverLook = ParseDescription(entry.description);
  job.seed = HashText(Lower(base ? base->path : entry.path));
  job.title = title;
  return job;
}

const char* PainterName(const PictureJob& job) { return RuleFor(job).name; }

bool MakePicture(const PictureJob& job, Canvas* picture, std::string* error) {
  const Rule& rule = RuleFor(job);
  if (!rule.painter(job, picture, error)) return false;
  if (rule.general && job.hover) {
    Brighten(picture, 0.25f);
    if (job.hoverLook.Has("border") || job.hoverLook.Has("frame"))
      HoverBorder(job, picture, 0xFFE060);
  }
  if (job.format == PictureFormat::Jpeg) MakeOpaque(picture);
  return true;
}

}  // namespace varnel_art
