#include "tools/varnel_art/cover_art.hpp"

#include "tools/varnel_art/random.hpp"
#include "tools/varnel_art/scenery.hpp"
#include "tools/varnel_art/text_art.hpp"

namespace varnel_art {
namespace {

LetteringStyle Chrome() {
  LetteringStyle style;
  style.fill = {Rgb(0xFFFFFF), Rgb(0xB8D8FF), Rgb(0x3060B0),
                Rgb(0x101C40), Rgb(0xFF9050), Rgb(0xFFE8A0)};
  style.outline = Rgb(0x08061A);
  style.outlineWidth = 3;
  style.shadow = Rgb(0x000000);
  style.shadowOffset = 6;
  return style;
}

LetteringStyle Copper() {
  LetteringStyle style;
  style.fill = {Rgb(0xFFF0C8), Rgb(0xF0A050), Rgb(0x9A4A1C), Rgb(0xFFC070)};
  style.outline = Rgb(0x1A0A06);
  style.outlineWidth = 2;
  style.shadow = Rgb(0x000000);
  style.shadowOffset = 4;
  return style;
}

}  // namespace

bool MakeOpeningCover(const IssueInfo& issue, Canvas* cover, std::string* error) {
  constexpr int kHorizon = 300;
  *cover = Canvas(kScreenWidth, kScreenHeight, Color{});
  BandedSky(
      cover, 0, kHorizon,
      {Rgb(0x0A0628), Rgb(0x1E0C48), Rgb(0x461466), Rgb(0x841C6C), Rgb(0xC8366A), Rgb(0xF06A5C)},
      6);
  Stars(cover, 0, 220, 260, HashText(issue.title + "stars"));
  RasterBar(cover, 106, 7, Rgb(0xE08850), 0.9f);
  RasterBar(cover, 164, 7, Rgb(0xE08850), 0.9f);
  SlitSun(cover, 320, kHorizon, 118, Rgb(0xFFE860), Rgb(0xFF2A70));
  CheckerFloor(cover, kHorizon, Rgb(0x1A0C30), Rgb(0xB84C48), Rgb(0xF07A5A));
  Glow(cover, 320, kHorizon + 2, 180, Rgb(0xFF9068), 0.35f);
  const std::string number = "ISSUE " + std::to_string(issue.number);
  FontRequest title{"Arial", 72, true, false, 2};
  if (!FitFont(&title, issue.title, 600, error)) return false;
  return DrawCenteredLettering(cover, title, issue.title, 320, 62 - title.height / 2, Chrome(),
                               error) &&
         DrawCenteredLettering(cover, {"Arial", 44, true, false, 2}, number, 320, 112, Copper(),
                               error) &&
         DrawCenteredLettering(cover, {"Times New Roman", 30, false, true, 2}, "a disk magazine",
                               320, 428, SoftLettering(Rgb(0xFFE8D0), Rgb(0x2A0C20)), error);
}

bool MakeClosingCover(const IssueInfo& issue, Canvas* cover, std::string* error) {
  constexpr int kHorizon = 292;
  *cover = Canvas(kScreenWidth, kScreenHeight, Color{});
  BandedSky(cover, 0, kHorizon, {Rgb(0x03040E), Rgb(0x0A1030), Rgb(0x1C2858), Rgb(0x3A4A80)}, 4);
  Stars(cover, 0, 260, 420, HashText(issue.title + "night"));
  Moon(cover, 506, 150, 40, HashText("moon"));
  Sea(cover, kHorizon, Rgb(0x040818), Rgb(0x1A2650), 506, Rgb(0xE8E4D0), HashText("sea"));
  Lighthouse(cover, 92, kHorizon, 120);
  const std::string next = "see you in issue " + std::to_string(issue.number + 1);
  LetteringStyle chrome = Chrome();
  chrome.fill = {Rgb(0xFFFFFF), Rgb(0xC8D8F0), Rgb(0x506890),
                 Rgb(0x182038), Rgb(0x8090B8), Rgb(0xE8F0FF)};
  FontRequest title{"Arial", 60, true, false, 2};
  if (!FitFont(&title, issue.title, 600, error)) return false;
  return DrawCenteredLettering(cover, title, issue.title, 320, 64 - title.height / 2, chrome,
                               error) &&
         DrawCenteredLettering(cover, {"Times New Roman", 40, false, true, 2}, "thanks for reading",
                               320, 352, SoftLettering(Rgb(0xFFE6B0), Rgb(0x0A0C20)), error) &&
         DrawCenteredLettering(cover, {"Arial", 22, true, false, 2}, next, 320, 410,
                               SoftLettering(Rgb(0xA8C0E8), Rgb(0x05081A)), error);
}

}  // namespace varnel_art
