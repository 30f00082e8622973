// The main screen's menu: hover highlights, clicks on tune lines and the
// transport buttons, and the keys that do the same.
#include "chipdisk/player/chip_player.hpp"
#include "chipdisk/player/chip_tunes.hpp"
#include "chipdisk/screen/chip_screen.hpp"
#include "platform/window/window_service.hpp"

namespace chipdisk {
namespace {

const uint8_t* Pixels(int slot) { return Player().pictures[static_cast<size_t>(slot)].pixels; }

// Copies the tune's line from a picture and shows it.
bool ShowLine(int tune, int slot) {
  const TuneEntry& line = kTunes[tune];
  DrawRect(line.x, line.y, line.width, line.height, Pixels(slot));
  return Present(line.x, line.y, line.x, line.y, line.width, line.height);
}

// Stops and frees the song, loads the current tune and plays it.
bool ChangeSong() {
  ChipPlayer& player = Player();
  platform::FMUSIC_StopSong(player.song);
  platform::FMUSIC_FreeSong(player.song);
  player.songPlaying = false;
  player.song = platform::FMUSIC_LoadSong(kTunes[player.current].file);
  if (!player.song) {
    platform::Window().ShowMessageBox(player.window, kMusicError, kErrorCaption);
    return false;
  }
  player.songPlaying = platform::FMUSIC_PlaySong(player.song);
  return true;
}

// Next and previous: the old line plain, the new one lit.
void StepTune(int step) {
  ChipPlayer& player = Player();
  const int previous = player.current;
  player.current = static_cast<uint8_t>(previous + step);
  if (!ChangeSong()) return;
  if (!ShowLine(previous, kMainPlain)) return;
  ShowLine(player.current, kMainHighlighted);
}

bool Accepting() {
  const ChipPlayer& player = Player();
  return player.ready && !player.closed;
}

// Signed 16-bit halves of a mouse message's lParam.
int32_t LowWord(intptr_t lParam) { return static_cast<int16_t>(lParam & 0xFFFF); }
int32_t HighWord(intptr_t lParam) { return static_cast<int16_t>((lParam >> 16) & 0xFFFF); }

void TakePosition(intptr_t lParam) {
  Player().mouseX = LowWord(lParam);
  Player().mouseY = HighWord(lParam);
}

// The line the keys move from: the lit one while the pointer or the keys
// are on a line, else the loaded tune's.
int KeyboardLine() {
  const ChipPlayer& player = Player();
  return IsTuneCode(player.hoverCode) ? player.highlighted : player.current;
}

}  // namespace

uint8_t HotspotCode(int32_t x, int32_t y) {
  return HotspotCodeAt(Player().pictures[kHotspotMap], x, y);
}

void Hover(uint8_t code) {
  ChipPlayer& player = Player();
  player.hoverCode = code;
  if (IsTuneCode(code)) {
    const int tune = TuneOfCode(code);
    const bool unlight = player.highlighted != tune && player.highlighted != player.current;
    if (unlight) {
      const TuneEntry& old = kTunes[player.highlighted];
      DrawRect(old.x, old.y, old.width, old.height, Pixels(kMainPlain));
    }
    if (!ShowLine(tune, kMainHighlighted)) return;
    if (unlight) {
      const TuneEntry& old = kTunes[player.highlighted];
      if (!Present(old.x, old.y, old.x, old.y, old.width, old.height)) return;
    }
    player.highlighted = static_cast<uint8_t>(tune);
    ShowLine(player.current, kMainHighlighted);
  } else if (code == kCodeBackground) {
    if (player.highlighted != player.current && !ShowLine(player.highlighted, kMainPlain)) return;
    ShowLine(player.current, kMainHighlighted);
  }
}

void Click(uint8_t code) {
  ChipPlayer& player = Player();
  if (code != player.lastTransport) {
    switch (code) {
      case kCodeNext:
        if (player.current < kLastTune) StepTune(+1);
        return;
      case kCodeStop:
        platform::FMUSIC_StopSong(player.song);
        player.songPlaying = false;
        player.lastTransport = kCodeStop;
        return;
      case kCodePlay:
        player.lastTransport = kCodePlay;
        player.songPlaying = platform::FMUSIC_PlaySong(player.song);
        return;
      case kCodePrevious:
        if (player.current > 0) StepTune(-1);
        return;
      default:
        break;
    }
  }
  if (!IsTuneCode(code)) return;
  const int tune = TuneOfCode(code);
  if (tune != player.current) {
    if (!ShowLine(player.current, kMainPlain)) return;
    player.current = static_cast<uint8_t>(tune);
    if (!ShowLine(tune, kMainHighlighted)) return;
  }
  ChangeSong();  // also for the loaded tune: it starts over
}

void OnMouseMove(intptr_t lParam) {
  if (!Accepting()) return;
  TakePosition(lParam);
  Hover(HotspotCode(Player().mouseX, Player().mouseY));
}

void OnLeftButtonDown(intptr_t lParam) {
  if (!Accepting()) return;
  Player().escapeArmed = 1;
  TakePosition(lParam);
  Click(HotspotCode(Player().mouseX, Player().mouseY));
}

void OnKeyDown(int virtualKey) {
  ChipPlayer& player = Player();
  if (!Accepting()) return;
  switch (virtualKey) {
    case platform::VK_ESCAPE:
      if (!player.escapeArmed) return;
      Closing();
      platform::Window().PostMessage(player.window, platform::WM_CLOSE, 0, 0);
      return;
    case platform::VK_UP:
      Hover(CodeOfTune(KeyboardLine() > 0 ? KeyboardLine() - 1 : 0));
      return;
    case platform::VK_DOWN:
      Hover(CodeOfTune(KeyboardLine() < kLastTune ? KeyboardLine() + 1 : kLastTune));
      return;
    default:
      break;
  }
  // Keys that act as a click count as one for Escape too.
  uint8_t code = 0;
  switch (virtualKey) {
    case platform::VK_RETURN:
      code = CodeOfTune(KeyboardLine());
      break;
    case platform::VK_LEFT:
      code = kCodePrevious;
      break;
    case platform::VK_RIGHT:
      code = kCodeNext;
      break;
    case platform::VK_SPACE:
      code = player.lastTransport == kCodeStop ? kCodePlay : kCodeStop;
      break;
    default:
      return;
  }
  player.escapeArmed = 1;
  Click(code);
}

void OnPaint() {
  if (Accepting()) PresentAll();
}

}  // namespace chipdisk
