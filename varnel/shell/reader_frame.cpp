#include "varnel/shell/reader_frame.hpp"

#include <cstring>

#include "platform/clock/clock_service.hpp"
#include "platform/shell/shell_service.hpp"
#include "varnel/media/name_compare.hpp"
#include "varnel/shell/display.hpp"
#include "varnel/shell/input_state.hpp"
#include "varnel/shell/magazine_state.hpp"
#include "varnel/shell/music_calls.hpp"
#include "varnel/shell/settings.hpp"
#include "varnel/sound/cd_audio.hpp"
#include "varnel/text/page_renderer.hpp"
#include "varnel/text/scrolling.hpp"
#include "varnel/text/text_surface.hpp"

namespace varnel {

namespace {

constexpr uint32_t kAnimationStep = 40;  // milliseconds

uint16_t* Row(uint16_t* image, int32_t y) { return image + static_cast<size_t>(y) * platform::kScreenWidth; }

void Dissolve(const Article& article, const uint16_t* page) {
  for (int32_t step = 0; step < 16 && !magazineStopRequested; ++step) {
    const uint32_t start = platform::GetTickCount();
    for (int32_t y = article.windowTop; y < article.windowBottom; ++y) {
      const uint8_t* order = plasmaMap.pixels + static_cast<size_t>(y) * plasmaMap.width;
      uint16_t* to = Row(FrameBuffer.pixels, y);
      const uint16_t* from = page + static_cast<size_t>(y) * platform::kScreenWidth;
      for (int32_t x = 0; x < platform::kScreenWidth; ++x)
        if (order[x] <= step) to[x] = from[x];
    }
    MagazineWaitSince(start, kAnimationStep);
    PresentFrame(FrameBuffer.pixels);
  }
}

// The new page slides in from the right (direction 1) or the left (2), s
// pixels per present.
void Slide(const Article& article, const uint16_t* page, int32_t direction) {
  const int32_t s = settings.softScrollSpeed;
  if ((direction != 1 && direction != 2) || s <= 0) return;  // a step of 0 would never end
  for (int32_t f = s; f < platform::kScreenWidth && !magazineStopRequested; f += s) {
    for (int32_t y = article.windowTop; y < article.windowBottom; ++y) {
      uint16_t* row = Row(FrameBuffer.pixels, y);
      const uint16_t* from = page + static_cast<size_t>(y) * platform::kScreenWidth;
      if (direction == 2) {
        std::memmove(row + s, row, static_cast<size_t>(platform::kScreenWidth - s) * 2);
        std::memcpy(row, from + platform::kScreenWidth - f, static_cast<size_t>(f) * 2);
      } else {
        std::memmove(row, row + s, static_cast<size_t>(platform::kScreenWidth - s) * 2);
        std::memcpy(row + platform::kScreenWidth - f, from, static_cast<size_t>(f) * 2);
      }
    }
    PresentFrame(FrameBuffer.pixels);
  }
}

// Each pair of pixels that still differs moves halfway to the new page, per
// channel, in each of 8 steps.
void CrossFade(const uint16_t* page) {
  auto* image = reinterpret_cast<uint32_t*>(FrameBuffer.pixels);
  const auto* target = reinterpret_cast<const uint32_t*>(page);
  for (int step = 0; step < 8 && !magazineStopRequested; ++step) {
    const uint32_t start = platform::GetTickCount();
    for (int32_t i = 0; i < kFramePixels / 2; ++i) {
      const uint32_t a = image[i], b = target[i];
      if (a != b) image[i] = ((a & 0x7BDE7BDEu) + (b & 0x7BDE7BDEu)) >> 1;
    }
    MagazineWaitSince(start, kAnimationStep);
    PresentFrame(FrameBuffer.pixels);
  }
}

}  // namespace

void FollowLink(const char* link) {
  if (!link[0]) return;
  if (StartsWithIgnoringCase(link, "ART:")) {
    // A name that does not fit is refused rather than cut into another name.
    if (std::strlen(link + 4) >= static_cast<size_t>(kPendingArticleBytes)) return;
    std::strcpy(pendingArticle, link + 4);
    openPending = 1;
  } else if (StartsWithIgnoringCase(link, "CD_TRAY")) {
    CdAudioCommand(CdCommand::Eject);
    MagazineWait(100);
  } else if (StartsWithIgnoringCase(link, "CD_FRWD")) {
    CdAudioCommand(CdCommand::Next);
    MusicStop();
  } else if (StartsWithIgnoringCase(link, "CD_BCKW")) {
    CdAudioCommand(CdCommand::Previous);
    MusicStop();
  } else if (StartsWithIgnoringCase(link, "CD_STOP")) {
    CdAudioCommand(CdCommand::Stop);
  } else if (StartsWithIgnoringCase(link, "PMSX:")) {
    CdAudioCommand(CdCommand::Stop);
    MusicPlay(link + 5);
  } else if (StartsWithIgnoringCase(link, "SILENT")) {
    MusicStop();
  } else if (StartsWithIgnoringCase(link, "URL:")) {
    platform::ShellExecuteA(nullptr, "open", link + 4, nullptr, nullptr, platform::SW_SHOWMAXIMIZED);
  } else if (StartsWithIgnoringCase(link, "mailto:")) {
    platform::ShellExecuteA(nullptr, "open", link, nullptr, nullptr, platform::SW_SHOWMAXIMIZED);
  } else if (StartsWithIgnoringCase(link, "PANEL_V0")) {
    currentPanel = &panel0;
    panelShown = 0;
  } else if (StartsWithIgnoringCase(link, "PANEL_V1")) {
    currentPanel = &panel1;
    panelShown = 1;
  }
}

void ReaderFrame(Article* article) {
  uint16_t* page = textSurface.pixels;
  if (pageTurnPending == 1 || crossFadePending == 1)
    std::memcpy(FrameBuffer.pixels, page, static_cast<size_t>(kFramePixels) * 2);
  if (!DrawArticlePage(article)) return;

  if (pageTurnPending == 1) {
    if (settings.plasmaLike == 1) {
      Dissolve(*article, page);
    } else {
      Slide(*article, page, pageTurnDirection);
    }
    pageTurnPending = 0;
  }
  if (crossFadePending == 1) {
    crossFadePending = 0;
    CrossFade(page);
  }
  PresentFrame(page);

  if (passInput.buttons == kLeftButton || passInput.key == platform::VK_RETURN) FollowLink(linkUnderMouse);
}

}  // namespace varnel
