// VkKeyScanA for the US keyboard layout.
#include <cstring>

#include "platform/window/window_messages.hpp"

namespace platform {
namespace {

constexpr int16_t kShift = 0x0100;
constexpr int16_t kControl = 0x0200;

// Punctuation keys: the unshifted character, the shifted one, the key code.
struct PunctuationKey {
  char plain;
  char shifted;
  int16_t key;
};
constexpr PunctuationKey kPunctuation[] = {
    {';', ':', 0xBA},  {'=', '+', 0xBB}, {',', '<', 0xBC},  {'-', '_', 0xBD},
    {'.', '>', 0xBE},  {'/', '?', 0xBF}, {'`', '~', 0xC0},  {'[', '{', 0xDB},
    {'\\', '|', 0xDC}, {']', '}', 0xDD}, {'\'', '"', 0xDE},
};

// The shifted digit row, from '0' to '9'.
constexpr char kShiftedDigits[] = ")!@#$%^&*(";

}  // namespace

int16_t VkKeyScanA(char character) {
  const int c = static_cast<unsigned char>(character);
  if (c >= 'a' && c <= 'z') return static_cast<int16_t>(c - 'a' + 'A');
  if (c >= 'A' && c <= 'Z') return static_cast<int16_t>(kShift | c);
  if (c >= '0' && c <= '9') return static_cast<int16_t>(c);
  switch (c) {
    case ' ':
      return VK_SPACE;
    case '\b':
      return VK_BACK;
    case '\t':
      return VK_TAB;
    case '\r':
      return VK_RETURN;
    case '\n':
      return static_cast<int16_t>(kControl | VK_RETURN);
    default:
      break;
  }
  if (c != 0) {
    if (const char* digit = std::strchr(kShiftedDigits, c))
      return static_cast<int16_t>(kShift | ('0' + (digit - kShiftedDigits)));
    for (const PunctuationKey& key : kPunctuation) {
      if (c == key.plain) return key.key;
      if (c == key.shifted) return static_cast<int16_t>(kShift | key.key);
    }
  }
  return -1;
}

}  // namespace platform
