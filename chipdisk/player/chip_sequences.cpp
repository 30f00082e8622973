// The opening (title fading out with the start tune) and the closing (two
// pictures fading out while the music fades).
#include <new>

#include "chipdisk/player/chip_player.hpp"
#include "chipdisk/player/chip_tunes.hpp"
#include "chipdisk/screen/chip_screen.hpp"
#include "platform/clock/clock_service.hpp"
#include "platform/window/window_service.hpp"

namespace chipdisk {
namespace {

constexpr int32_t kFadeEnd = 256;
constexpr float kOpeningLevelPerMs = 0.04347826f;  // 1/23: 5.9 s to black
constexpr float kClosingLevelPerMs = 0.09090909f;  // 1/11: 2.8 s to black
constexpr int32_t kClosingLevelStart = 2;
constexpr int32_t kVolumeStep = 2;
// How long a wait for an order the song cannot reach goes on.
constexpr uint32_t kStuckWaitMs = 2000;
constexpr uint32_t kPollMs = 1;

bool Fail(const char* message) {
  platform::Window().ShowMessageBox(Player().window, message, kErrorCaption);
  return false;
}

const uint8_t* Pixels(int slot) { return Player().pictures[static_cast<size_t>(slot)].pixels; }

bool ShowPicture(int slot) {
  const PictureSlot& picture = Player().pictures[static_cast<size_t>(slot)];
  DrawPicture(static_cast<int32_t>(picture.width), static_cast<int32_t>(picture.height),
              picture.pixels);
  return PresentAll();
}

// Fades a picture to black, one shown frame per step; the level follows the
// clock so the fade takes as long at any frame rate. With `volume`, the
// music gets quieter by a step per frame.
bool Fade(int slot, float levelPerMs, int32_t levelOffset, int32_t* volume, bool checked) {
  ChipPlayer& player = Player();
  player.lastTick = platform::GetTickCount();
  float accumulated = 0.0f;
  int32_t level = 0;
  do {
    DrawDarkened(static_cast<uint8_t>(level), Pixels(slot));
    if (!PresentAll() && checked) return false;
    if (volume) {
      *volume -= kVolumeStep;
      if (*volume > 0) platform::FMUSIC_SetMasterVolume(player.song, *volume);
    }
    const uint32_t now = platform::GetTickCount();
    accumulated += static_cast<float>(now - player.lastTick) * levelPerMs;
    player.lastTick = now;
    level = static_cast<int32_t>(accumulated) + levelOffset;
  } while (level < kFadeEnd);
  return true;
}

}  // namespace

ChipPlayer& Player() {
  static ChipPlayer player;
  return player;
}

void ResetPlayer() {
  Release();
  Player() = ChipPlayer{};
}

bool WaitForOrder(int32_t order) {
  ChipPlayer& player = Player();
  const uint32_t start = platform::GetTickCount();
  int32_t previous = player.song ? platform::FMUSIC_GetOrder(player.song) : -1;
  bool wrapped = false;
  for (;;) {
    const int32_t now = player.song ? platform::FMUSIC_GetOrder(player.song) : -1;
    if (player.song && now >= order) return true;
    wrapped |= now < previous;
    previous = now;
    const bool stuck = !player.song || !player.songPlaying || wrapped;
    if (stuck && platform::GetTickCount() - start >= kStuckWaitMs) return false;
    platform::Sleep(kPollMs);
  }
}

bool Opening(platform::WindowHandle window) {
  ChipPlayer& player = Player();
  player.window = window;
  player.current = kStartTune;
  if (!ScreenSetUp(window)) return Fail(kDisplayError);
  Display().simd = ScreenHasSimd();
  player.block.reset(new (std::nothrow) uint8_t[kWorkingBlockSize]);
  if (!player.block) return Fail(kMemoryError);
  player.regions = SplitWorkingBlock(player.block.get());
  const ChipDataStatus loaded = LoadChipPictures(player.reader, kChipDataFileName, player.regions,
                                                 player.storeUsed, player.pictures);
  if (!loaded.ok()) return Fail(loaded.message.c_str());
  DrawPicture(kScreenWidth, kScreenHeight, Pixels(kTitle));
  if (!platform::FSOUND_Init(kMixRate, kMixChannels)) return Fail(kMixerError);
  player.song = platform::FMUSIC_LoadSong(kTunes[kStartTune].file);
  if (!player.song) return Fail(kMusicError);
  player.songPlaying = platform::FMUSIC_PlaySong(player.song);
  if (!ShowPicture(kTitle)) return false;
  WaitForOrder(1);
  if (!Fade(kTitle, kOpeningLevelPerMs, 0, nullptr, true)) return false;
  WaitForOrder(2);
  if (!ShowPicture(kMainPlain)) return false;
  player.ready = true;
  return true;
}

void Closing() {
  ChipPlayer& player = Player();
  const int32_t start = player.song ? platform::FMUSIC_GetOrder(player.song) : 0;
  ShowPicture(kClosingFirst);
  // A song that cannot reach the first order will not reach the second.
  const bool advancing = WaitForOrder(start + 1);
  Fade(kClosingFirst, kClosingLevelPerMs, kClosingLevelStart, nullptr, false);
  ShowPicture(kClosingLast);
  if (advancing) WaitForOrder(start + 2);
  int32_t volume = player.song ? platform::FMUSIC_GetMasterVolume(player.song) : 0;
  Fade(kClosingLast, kClosingLevelPerMs, kClosingLevelStart, &volume, false);
  Release();
  player.closed = true;
}

void Release() {
  ChipPlayer& player = Player();
  if (player.song) platform::FMUSIC_FreeSong(player.song);
  player.song = nullptr;
  player.songPlaying = false;
  platform::FSOUND_Close();
  ScreenRelease();
  player.block.reset();
  player.regions = {};
  player.pictures = {};
  player.storeUsed = 0;
  player.ready = false;
}

}  // namespace chipdisk
