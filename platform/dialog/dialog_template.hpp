// Dialog templates as data: the dialog's frame, caption and font, and its
// controls in template order (which is also the tab order). Rectangles are in
// dialog units, which the dialog manager turns into pixels from the dialog
// font (see dialog_layout.hpp).
#pragma once

#include <span>

#include "platform/text/text_service.hpp"

namespace platform::dialog {

using platform::BOOL;
using platform::DWORD;
using platform::UINT;
using platform::WORD;

// Window styles the templates use, with the desktop's values.
inline constexpr DWORD WS_TABSTOP = 0x00010000;
inline constexpr DWORD WS_GROUP = 0x00020000;
inline constexpr DWORD WS_SYSMENU = 0x00080000;
inline constexpr DWORD WS_CAPTION = 0x00C00000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD DS_SETFONT = 0x00000040;
inline constexpr DWORD DS_MODALFRAME = 0x00000080;  // without WS_CAPTION: a raised border
inline constexpr DWORD SS_CENTER = 0x00000001;      // static text centred in its rectangle

enum class ControlKind {
  CheckBox,     // auto check box: a click toggles it
  RadioButton,  // auto radio button: a click checks it and clears its group
  PushButton,
  GroupBox,
  StaticText,
  Icon,  // the registered icon its caption names ("#102"), at its own size
};

struct DialogUnits {
  short x, y, cx, cy;
};

struct DialogItemTemplate {
  int id;
  ControlKind kind;
  const char* caption;
  DialogUnits rect;
  DWORD style;  // WS_GROUP, WS_TABSTOP
};

struct DialogTemplate {
  const char* name;
  DWORD style;
  DialogUnits rect;  // position relative to the owner, size of the client area
  const char* caption;
  const char* faceName;
  int pointSize;
  std::span<const DialogItemTemplate> items;
};

}  // namespace platform::dialog
