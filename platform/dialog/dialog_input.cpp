// The keyboard and mouse habits of the desktop's dialogs.
#include "platform/dialog/dialog_session.hpp"

namespace platform::dialog {

void DialogSession::Key(DialogKey key, bool shift) {
  if (ended_) return;
  switch (key) {
    case DialogKey::Tab:
      MoveToTabStop(shift);
      break;
    case DialogKey::Left:
    case DialogKey::Up:
      MoveWithinGroup(true);
      break;
    case DialogKey::Right:
    case DialogKey::Down:
      MoveWithinGroup(false);
      break;
    case DialogKey::Space:
      if (Focusable(focus_)) ClickButton(focus_);
      break;
    case DialogKey::Enter: {
      const int button = defaultButton();
      Command(button >= 0 ? item(button).id : IDOK);
      break;
    }
    case DialogKey::Escape:
      Command(IDCANCEL);
      break;
  }
}

void DialogSession::MouseDown(int x, int y) {
  if (ended_) return;
  const int hit = HitTest(x, y);
  if (hit < 0) return;
  SetFocus(hit);
  pressed_ = hit;
  pressedInside_ = true;
  repaint_ = true;
}

void DialogSession::MouseMove(int x, int y) {
  if (ended_ || pressed_ < 0) return;
  const bool inside = layout_.items[pressed_].Contains(x, y);
  if (inside != pressedInside_) repaint_ = true;
  pressedInside_ = inside;
}

void DialogSession::MouseUp(int x, int y) {
  if (ended_ || pressed_ < 0) return;
  const int released = pressed_;
  pressed_ = -1;
  pressedInside_ = false;
  repaint_ = true;
  // A button acts when the button is let go over it.
  if (layout_.items[released].Contains(x, y)) ClickButton(released);
}

int DialogSession::HitTest(int x, int y) const {
  for (int i = 0; i < count(); ++i) {
    if (Focusable(i) && layout_.items[i].Contains(x, y)) return i;
  }
  return -1;
}

void DialogSession::SetFocus(int index) {
  if (focus_ != index) repaint_ = true;
  focus_ = index;
}

void DialogSession::MoveToTabStop(bool backwards) {
  const int n = count();
  int index = focus_;
  for (int step = 0; step < n; ++step) {
    if (index < 0) {
      index = backwards ? n - 1 : 0;
    } else {
      index = (index + (backwards ? n - 1 : 1)) % n;
    }
    if (Focusable(index) && controls_[index].tabStop) {
      SetFocus(index);
      return;
    }
  }
}

void DialogSession::MoveWithinGroup(bool backwards) {
  if (focus_ < 0) return;
  const int first = GroupStart(focus_);
  const int size = GroupEnd(focus_) - first;
  int offset = focus_ - first;
  for (int step = 1; step < size; ++step) {
    offset = (offset + (backwards ? size - 1 : 1)) % size;
    const int index = first + offset;
    if (!Focusable(index)) continue;
    SetFocus(index);
    if (IsKind(index, ControlKind::RadioButton)) ClickButton(index);
    return;
  }
}

}  // namespace platform::dialog
