// The chip player: its state, the menu's hover, click and key handling, the
// opening and closing sequences, and the program's window.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "chipdisk/data/chip_data_reader.hpp"
#include "platform/sound/fmod_service.hpp"
#include "platform/window/window_messages.hpp"

namespace chipdisk {

inline constexpr const char* kWindowTitle = "PIXofCorvane";
inline constexpr const char* kErrorCaption = "Error";
inline constexpr const char* kDisplayError = "Error in DirectX :)";
inline constexpr const char* kMemoryError = "Out of memory!!!";
inline constexpr const char* kMixerError = "Muic nie funguje - walniety mixer!";
inline constexpr const char* kMusicError = "Music nie funguje - brak pliku albo cos gra w tle!";
inline constexpr const char* kWindowError = "The window cannot be opened.";

constexpr int32_t kMixRate = 44100;
constexpr int32_t kMixChannels = 32;
constexpr int kExitFailure = 1;

struct ChipPlayer {
  ChipPlayer() = default;
  ChipPlayer(ChipPlayer&&) = default;
  ChipPlayer& operator=(ChipPlayer&&) = default;
  virtual ~ChipPlayer() = default;

  std::unique_ptr<uint8_t[]> block;  // the working block
  ChipBlockRegions regions;
  int32_t mouseX = 0, mouseY = 0;
  uint32_t storeUsed = 0;
  std::array<PictureSlot, kPictureCount> pictures{};
  uint8_t hoverCode = 0;
  uint8_t highlighted = 0;
  uint8_t current = 0;
  uint8_t lastTransport = 0;  // 0, kCodeStop or kCodePlay
  uint32_t lastTick = 0;
  platform::FMUSIC_MODULE* song = nullptr;
  uint8_t escapeArmed = 0;

  platform::WindowHandle window = nullptr;
  ChipDataReader reader;
  bool songPlaying = false;  // the loaded song was started and not stopped since
  bool ready = false;        // the opening has finished: repaints present
  bool closed = false;       // the closing has run: no more input
};

// The one player of the process.
ChipPlayer& Player();
// A fresh player (the old one's resources released).
void ResetPlayer();

// Opening: display, pictures, sound and the title's fade up to the main
// screen. On failure shows the reason (when there is one to show) and
// returns false; Release then frees what was made.
bool Opening(platform::WindowHandle window);
// Closing: the two closing pictures fade out with the music; everything is
// released afterwards.
void Closing();
// Frees the song, the sound output, the display and the working block.
void Release();

// Menu input. Mouse positions come as the message's lParam.
void OnMouseMove(intptr_t lParam);
void OnLeftButtonDown(intptr_t lParam);
void OnKeyDown(int virtualKey);
void OnPaint();

// What the hotspot map holds at the window pixel.
uint8_t HotspotCode(int32_t x, int32_t y);
// Hover and click handling for a hotspot code, shared by mouse and keys.
void Hover(uint8_t code);
void Click(uint8_t code);

// Waits until the song's order is at least `order`. Gives up after at most
// 2 s when the song cannot get there: none loaded, stopped, or wrapped to an
// earlier order. False when it gave up.
bool WaitForOrder(int32_t order);

// The program: window, opening, message loop. Returns the exit status.
intptr_t ChipWindowProcedure(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                             intptr_t lParam);
int RunChipPlayer();

}  // namespace chipdisk
