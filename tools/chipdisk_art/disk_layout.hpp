// Where things are on the music disk's main screen: the tune lines the
// player highlights and the four transport buttons, with their hotspot codes.
#pragma once

#include <array>
#include <cstdint>

namespace chipdisk_art {

inline constexpr int kScreenWidth = 640;
inline constexpr int kScreenHeight = 480;
inline constexpr int kTuneCount = 19;
inline constexpr int kLineX = 120;
inline constexpr int kLineWidth = 360;
inline constexpr uint8_t kFirstTuneCode = 251;  // tune t has code 251 - t

struct TuneLine {
  int y, height;
  const char* title;
  const char* format;  // as the module file's extension says
};

inline constexpr std::array<TuneLine, kTuneCount> kTuneLines{{
    {84, 11, "Seventy Winds", "IT"},      {95, 13, "Cat on the Keys", "MOD"},
    {108, 13, "Sunrise Routine", "S3M"},  {120, 14, "Chip Step", "XM"},
    {134, 14, "Short Circuit", "XM"},     {148, 12, "Letters Out of Order", "XM"},
    {161, 13, "Ninety-Eight", "XM"},      {174, 14, "Square Reggae", "XM"},
    {187, 13, "Trapdoor II", "XM"},       {200, 13, "Furia", "XM"},
    {213, 13, "Lord of Loops", "XM"},     {226, 12, "Nicotine Blue", "XM"},
    {238, 13, "Chipped Tooth", "XM"},     {251, 12, "Fairy Tale", "XM"},
    {264, 13, "Wind of the North", "XM"}, {305, 11, "Invisible", "XM"},
    {355, 13, "Sadness", "XM"},           {368, 15, "Little Chip", "S3M"},
    {382, 12, "Last Chip Home", "XM"},
}};

struct Button {
  int x, y, width, height;
  uint8_t code;
};

// Previous, stop, play, next, left to right.
inline constexpr int kButtonTop = 414;
inline constexpr int kButtonWidth = 64;
inline constexpr int kButtonHeight = 38;
inline constexpr std::array<Button, 4> kButtons{{
    {168, kButtonTop, kButtonWidth, kButtonHeight, 255},
    {248, kButtonTop, kButtonWidth, kButtonHeight, 253},
    {328, kButtonTop, kButtonWidth, kButtonHeight, 254},
    {408, kButtonTop, kButtonWidth, kButtonHeight, 252},
}};

}  // namespace chipdisk_art
