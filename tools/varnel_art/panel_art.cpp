#include "tools/varnel_art/panel_art.hpp"

#include <algorithm>
#include <cmath>

#include "tools/varnel_art/draw.hpp"
#include "tools/varnel_art/metal.hpp"
#include "tools/varnel_art/random.hpp"
#include "tools/varnel_art/text_art.hpp"

namespace varnel_art {
namespace {

struct Theme {
  Metal plate;
  Color windowTop, windowBottom;
  Color accent;
  LetteringStyle title;
  Color badgeText;
};

Theme ThemeFor(PanelLook look) {
  Theme theme;
  if (look == PanelLook::BlueSteel) {
    theme.plate = {Rgb(0xB4C8E8), Rgb(0x5A6E94), Rgb(0x262F48), 11};
    theme.windowTop = Rgb(0x141A30);
    theme.windowBottom = Rgb(0x080A16);
    theme.accent = Rgb(0x58C8FF);
    theme.title.fill = {Rgb(0xF4FAFF), Rgb(0x9CC4F0), Rgb(0x2A4C8C), Rgb(0xC8E0FF), Rgb(0xFFFFFF)};
    theme.title.outline = Rgb(0x0A1024);
    theme.badgeText = Rgb(0x8CE0FF);
  } else {
    theme.plate = {Rgb(0xF0C090), Rgb(0xA0603A), Rgb(0x4A2212), 23};
    theme.windowTop = Rgb(0x24140E);
    theme.windowBottom = Rgb(0x0E0806);
    theme.accent = Rgb(0xFFA040);
    theme.title.fill = {Rgb(0xFFF6D8), Rgb(0xF0C060), Rgb(0x7A3A10), Rgb(0xFFD890), Rgb(0xFFFFF0)};
    theme.title.outline = Rgb(0x200C04);
    theme.badgeText = Rgb(0xFFC870);
  }
  theme.title.outlineWidth = 2;
  theme.title.shadow = Rgb(0x000000);
  theme.title.shadowOffset = 4;
  return theme;
}

void TextWindow(Canvas* panel, const Theme& theme) {
  for (int y = kWindowTop; y < kWindowBottom; ++y) {
    const float t = static_cast<float>(y - kWindowTop) / (kWindowBottom - kWindowTop - 1);
    // Shadows cast by the rails above and below.
    const float shade = std::min({1.0f, 0.45f + static_cast<float>(y - kWindowTop) / 14.0f,
                                  0.55f + static_cast<float>(kWindowBottom - 1 - y) / 12.0f});
    for (int x = 0; x < kScreenWidth; ++x) {
      const float edge = std::abs(static_cast<float>(x) - 319.5f) / 320.0f;
      const float cloud = FractalNoise(static_cast<float>(x) / 70.0f, static_cast<float>(y) / 50.0f,
                                       3, theme.plate.seed + 3);
      Color c = Mix(theme.windowTop, theme.windowBottom, t);
      c = Scale(c, shade * (1.05f - 0.3f * edge * edge) * (0.85f + 0.3f * cloud));
      panel->Put(x, y, c);
    }
  }
}

// Faint arrows and a glow along the left and right edges, where a click turns the page.
void PageTurnHints(Canvas* panel, const Theme& theme) {
  const float mid = (kWindowTop + kWindowBottom) / 2.0f;
  for (int y = kWindowTop; y < kWindowBottom; ++y) {
    const float along = std::exp(-std::pow((static_cast<float>(y) - mid) / 70.0f, 2.0f));
    for (int i = 0; i < 4; ++i) {
      const float alpha = 0.12f * along * static_cast<float>(4 - i) / 4.0f;
      panel->Blend(i, y, theme.accent, alpha);
      panel->Blend(kScreenWidth - 1 - i, y, theme.accent, alpha);
    }
  }
  for (int k = 0; k < 2; ++k) {
    const float x = 16.0f + 12.0f * static_cast<float>(k);
    FillPolygon(panel,
                {{x + 10, mid - 18},
                 {x + 13, mid - 15},
                 {x + 3, mid},
                 {x + 13, mid + 15},
                 {x + 10, mid + 18},
                 {x - 2, mid}},
                theme.accent, 0.10f);
    const float rx = kScreenWidth - x;
    FillPolygon(panel,
                {{rx - 10, mid - 18},
                 {rx - 13, mid - 15},
                 {rx - 3, mid},
                 {rx - 13, mid + 15},
                 {rx - 10, mid + 18},
                 {rx + 2, mid}},
                theme.accent, 0.10f);
  }
}

void AccentLine(Canvas* panel, int y, const Theme& theme) {
  for (int x = 0; x < kScreenWidth; ++x) {
    const float fade = 0.55f + 0.45f * std::sin(static_cast<float>(x) / 640.0f * 3.14159f);
    panel->Blend(x, y, theme.accent, 0.85f * fade);
    panel->Blend(x, y - 1, theme.accent, 0.2f * fade);
    panel->Blend(x, y + 1, theme.accent, 0.2f * fade);
  }
}

// Three drive lights, as on the front of a floppy drive.
void Lights(Canvas* panel, int x, int y) {
  const Color colours[] = {Rgb(0xFF4030), Rgb(0xFFB020), Rgb(0x40F060)};
  for (int i = 0; i < 3; ++i) {
    const float cx = static_cast<float>(x + 14 * i), cy = static_cast<float>(y);
    FillDisc(panel, cx, cy, 7.0f, colours[i], 0.18f);
    FillDisc(panel, cx, cy, 4.0f, Rgb(0x101010));
    FillDisc(panel, cx, cy, 3.0f, Scale(colours[i], i == 2 ? 1.0f : 0.55f));
    FillDisc(panel, cx - 1, cy - 1, 1.0f, Rgb(0xFFFFFF), 0.6f);
  }
}

bool EngravedText(Canvas* panel, std::string_view text, int x, int y, int height, Color ink,
                  std::string* error) {
  Mask letters;
  const FontRequest font{"Arial", height, true, false, 1};
  if (!RenderText(font, text, kScreenWidth, kScreenHeight, x, y, &letters, error)) return false;
  PaintMask(panel, Shift(letters, 1, 1), 0, 0, Rgb(0xFFFFFF), 0.25f);
  PaintMask(panel, letters, 0, 0, ink, 0.9f);
  return true;
}

bool Header(Canvas* panel, const Theme& theme, const IssueInfo& issue, std::string* error) {
  BrushedPlate(panel, {0, 0, kScreenWidth, 94}, theme.plate);
  Bevel(panel, {0, 0, kScreenWidth, 94}, 2, Rgb(0xFFFFFF), Rgb(0x000000), 0.35f);
  PolishedRail(panel, {0, 94, kScreenWidth, 101}, theme.plate);
  FillBox(panel, {0, 101, kScreenWidth, kWindowTop}, Scale(theme.windowTop, 0.5f));
  AccentLine(panel, 102, theme);
  for (const int x : {14, kScreenWidth - 15}) {
    Screw(panel, x, 14, theme.plate);
    Screw(panel, x, 80, theme.plate);
  }
  Lights(panel, 36, 80);
  // The issue badge: a small dark window with lit lettering.
  const std::string badge = "ISSUE " + std::to_string(issue.number);
  TextSize size;
  if (!MeasureText({"Arial", 13, true, false, 1}, badge, &size, error)) return false;
  const Box slot{kScreenWidth - 32 - size.width - 12, 70, kScreenWidth - 32, 90};
  Recess(panel, slot, 2, Scale(theme.windowBottom, 1.4f));
  Mask letters;
  if (!RenderText({"Arial", 13, true, false, 1}, badge, kScreenWidth, kScreenHeight, slot.x0 + 6,
                  73, &letters, error))
    return false;
  PaintMask(panel, BoxBlur(letters, 2), 0, 0, theme.badgeText, 0.5f);
  PaintMask(panel, letters, 0, 0, theme.badgeText);
  FontRequest titleFont{"Arial", 64, true, false, 2};
  if (!FitFont(&titleFont, issue.title, 480, error)) return false;
  return DrawCenteredLettering(panel, titleFont, issue.title, kScreenWidth / 2,
                               40 - titleFont.height / 2, theme.title, error);
}

bool Footer(Canvas* panel, const Theme& theme, std::string* error) {
  FillBox(panel, {0, kWindowBottom, kScreenWidth, 388}, Scale(theme.windowBottom, 0.5f));
  AccentLine(panel, 386, theme);
  PolishedRail(panel, {0, 388, kScreenWidth, 393}, theme.plate);
  BrushedPlate(panel, {0, 393, kScreenWidth, kScreenHeight}, theme.plate);
  Bevel(panel, {0, 393, kScreenWidth, kScreenHeight}, 2, Rgb(0xFFFFFF), Rgb(0x000000), 0.35f);
  // Scroll bar x 97-236, y 396-414; title 16 rows from (64, 432), 62 cells.
  Recess(panel, {94, 394, 240, 418}, 3, Rgb(0x080A0E));
  Recess(panel, {58, 428, 566, 452}, 3, Scale(theme.windowBottom, 0.8f));
  // Page-turn buttons at the far edges, where a click turns the page.
  for (const bool right : {false, true}) {
    const float x = right ? kScreenWidth - 36.0f : 36.0f, y = 406.0f, d = right ? 1.0f : -1.0f;
    Recess(panel, {static_cast<int>(x) - 18, 396, static_cast<int>(x) + 18, 416}, 2,
           Scale(theme.windowBottom, 1.2f));
    FillPolygon(panel, {{x + 7 * d, y}, {x - 5 * d, y - 6}, {x - 5 * d, y + 6}}, theme.accent,
                0.85f);
  }
  for (const int x : {24, kScreenWidth - 25}) Screw(panel, x, 440, theme.plate);
  for (const int x : {24, kScreenWidth - 25}) Screw(panel, x, 466, theme.plate);
  return EngravedText(panel, "H help    Esc back    P frame    X leave", 262, 398, 13,
                      Scale(theme.plate.dark, 0.6f), error);
}

}  // namespace

bool MakePanel(PanelLook look, const IssueInfo& issue, Canvas* panel, std::string* error) {
  const Theme theme = ThemeFor(look);
  *panel = Canvas(kScreenWidth, kScreenHeight, Color{});
  TextWindow(panel, theme);
  PageTurnHints(panel, theme);
  return Header(panel, theme, issue, error) && Footer(panel, theme, error);
}

}  // namespace varnel_art
