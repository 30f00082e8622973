// Draws a dialog in the desktop's classic grey look: raised push buttons
// (the default one framed in black, a pushed one sunk), sunken check boxes
// with a tick, round radio buttons with a dot, etched group frames with their
// captions, icons, a dotted focus rectangle, and the raised border of a
// dialog without caption.
#pragma once

#include "platform/dialog/dialog_canvas.hpp"
#include "platform/dialog/dialog_session.hpp"

namespace platform::dialog {

namespace palette {
inline constexpr int kFaceLevel = 0xC0;  // the face's grey, every channel
inline constexpr std::uint16_t kFace = Rgb555(kFaceLevel, kFaceLevel, kFaceLevel);
inline constexpr std::uint16_t kLight = Rgb555(0xDF, 0xDF, 0xDF);
inline constexpr std::uint16_t kHighlight = Rgb555(0xFF, 0xFF, 0xFF);
inline constexpr std::uint16_t kShadow = Rgb555(0x80, 0x80, 0x80);
inline constexpr std::uint16_t kDarkShadow = Rgb555(0, 0, 0);
inline constexpr std::uint16_t kWindow = Rgb555(0xFF, 0xFF, 0xFF);
inline constexpr std::uint16_t kMark = Rgb555(0, 0, 0);
}  // namespace palette

// Check boxes and radio buttons: the box, then the caption this far right.
inline constexpr int kCheckBoxSize = 13;
inline constexpr int kRadioSize = 12;
inline constexpr int kCaptionOffset = kCheckBoxSize + 4;

// The canvas must be the size of the session's window: its client area and
// the frame around it (layout().frame).
void PaintDialog(const DialogSession& session, DialogCanvas& canvas);

}  // namespace platform::dialog
