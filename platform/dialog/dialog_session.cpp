#include "platform/dialog/dialog_session.hpp"

#include <algorithm>
#include <utility>

namespace platform::dialog {
namespace {

// Sessions alive now, so that a stale or foreign HWND is refused.
std::vector<DialogSession*>& LiveSessions() {
  static std::vector<DialogSession*> sessions;
  return sessions;
}

}  // namespace

DialogSession::DialogSession(const DialogTemplate& dialogTemplate, DLGPROC procedure,
                             LPARAM initParam)
    : template_(dialogTemplate),
      procedure_(procedure),
      initParam_(initParam),
      font_(dialogTemplate.faceName, dialogTemplate.pointSize) {
  valid_ = procedure_ && ComputeDialogLayout(template_, font_.handle(), &layout_);
  for (const DialogItemTemplate& entry : template_.items) {
    controls_.push_back({false, (entry.style & WS_TABSTOP) != 0});
    texts_.emplace_back(entry.caption ? entry.caption : "");
  }
  LiveSessions().push_back(this);
}

DialogSession::~DialogSession() { std::erase(LiveSessions(), this); }

DialogSession* DialogSession::FromHandle(HWND dialog) {
  for (DialogSession* session : LiveSessions()) {
    if (session == dialog) return session;
  }
  return nullptr;
}

void DialogSession::Start() {
  if (ended_) return;
  const INT_PTR wantsFocus = procedure_(handle(), WM_INITDIALOG, 0, initParam_);
  if (wantsFocus && !ended_ && focus_ < 0) MoveToTabStop(false);
  repaint_ = true;
}

void DialogSession::Close() {
  if (ended_) return;
  if (procedure_(handle(), WM_CLOSE, 0, 0) == 0) Command(IDCANCEL);
}

void DialogSession::End(INT_PTR result) {
  if (ended_) return;
  ended_ = true;
  result_ = result;
  repaint_ = true;
}

void DialogSession::Command(int id) {
  if (ended_) return;
  procedure_(handle(), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), 0);
}

void DialogSession::ClickButton(int index) {
  if (IsKind(index, ControlKind::CheckBox)) {
    SetCheck(index, !controls_[index].checked);
  } else if (IsKind(index, ControlKind::RadioButton)) {
    for (int sibling : RadioGroupOf(index)) SetCheck(sibling, sibling == index);
  }
  Command(item(index).id);
}

int DialogSession::IndexOf(int id) const {
  for (int i = 0; i < count(); ++i) {
    if (item(i).id == id) return i;
  }
  return -1;
}

bool DialogSession::IsKind(int index, ControlKind kind) const {
  return index >= 0 && index < count() && item(index).kind == kind;
}

bool DialogSession::Focusable(int index) const {
  return IsKind(index, ControlKind::CheckBox) || IsKind(index, ControlKind::RadioButton) ||
         IsKind(index, ControlKind::PushButton);
}

bool DialogSession::SetCheck(int index, bool check) {
  const bool radio = IsKind(index, ControlKind::RadioButton);
  if (!radio && !IsKind(index, ControlKind::CheckBox)) return false;
  if (controls_[index].checked != check) repaint_ = true;
  controls_[index].checked = check;
  if (radio && check) {
    // The checked button carries its group's tab stop.
    for (int sibling : RadioGroupOf(index)) controls_[sibling].tabStop = sibling == index;
  }
  return true;
}

int DialogSession::defaultButton() const {
  if (IsKind(focus_, ControlKind::PushButton)) return focus_;
  const int ok = IndexOf(IDOK);
  return IsKind(ok, ControlKind::PushButton) ? ok : -1;
}

int DialogSession::GroupStart(int index) const {
  while (index > 0 && !(item(index).style & WS_GROUP)) --index;
  return index;
}

int DialogSession::GroupEnd(int index) const {
  ++index;
  while (index < count() && !(item(index).style & WS_GROUP)) ++index;
  return index;
}

std::vector<int> DialogSession::RadioGroupOf(int index) const {
  std::vector<int> members;
  if (!IsKind(index, ControlKind::RadioButton)) return members;
  for (int i = GroupStart(index); i < GroupEnd(index); ++i) {
    if (IsKind(i, ControlKind::RadioButton)) members.push_back(i);
  }
  return members;
}

void DialogSession::SetText(int index, const char* text) {
  if (index < 0 || index >= count()) return;
  texts_[index] = text ? text : "";
  repaint_ = true;
}

void DialogSession::Place(int x, int y) {
  placed_ = true;
  x_ = x;
  y_ = y;
  repaint_ = true;
}

bool DialogSession::TakeRepaint() { return std::exchange(repaint_, false); }

}  // namespace platform::dialog
