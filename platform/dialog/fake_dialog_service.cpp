#include "platform/dialog/dialog_session.hpp"

namespace platform::dialog {
namespace {

FakeDialogService::Snapshot TakeSnapshot(const DialogSession& session) {
  FakeDialogService::Snapshot snapshot{};
  snapshot.focusId = session.focus() >= 0 ? session.item(session.focus()).id : 0;
  for (int i = 0; i < session.count(); ++i) {
    if (session.checked(i)) snapshot.checkedIds.push_back(session.item(i).id);
    if (session.tabStop(i)) snapshot.tabStopIds.push_back(session.item(i).id);
  }
  return snapshot;
}

void Feed(DialogSession& session, const DialogInput& input) {
  switch (input.kind) {
    case DialogInput::Kind::Key:
      session.Key(input.key, input.shift);
      break;
    case DialogInput::Kind::MouseDown:
      session.MouseDown(input.x, input.y);
      break;
    case DialogInput::Kind::MouseMove:
      session.MouseMove(input.x, input.y);
      break;
    case DialogInput::Kind::MouseUp:
      session.MouseUp(input.x, input.y);
      break;
    case DialogInput::Kind::ClickItem: {
      const int index = session.IndexOf(input.x);
      if (index < 0) break;
      const PixelRect& rect = session.layout().items[index];
      const int x = rect.x + rect.width / 2;
      const int y = rect.y + rect.height / 2;
      session.MouseDown(x, y);
      session.MouseUp(x, y);
      break;
    }
    case DialogInput::Kind::Close:
      session.Close();
      break;
  }
}

}  // namespace

bool FakeDialogService::RunModal(DialogSession& session, HWND) {
  ++runs;
  trail.clear();
  scriptRanOut = false;
  caption = session.dialogTemplate().caption ? session.dialogTemplate().caption : "";
  clientWidth = session.layout().width;
  clientHeight = session.layout().height;
  session.Start();
  trail.push_back(TakeSnapshot(session));
  for (const DialogInput& input : script) {
    if (session.ended()) break;
    Feed(session, input);
    trail.push_back(TakeSnapshot(session));
  }
  scriptRanOut = !session.ended();
  return session.ended();
}

bool FakeDialogService::OpenModeless(DialogSession& session) {
  if (openFails) return false;
  ++modelessOpen;
  ++modelessOpened;
  Update(session);
  return true;
}

void FakeDialogService::Update(DialogSession& session) {
  RECT rect{};
  GetWindowRect(session.handle(), &rect);
  Frame frame{rect.left, rect.top, {}};
  for (int i = 0; i < session.count(); ++i) frame.texts.push_back(session.text(i));
  frames.push_back(std::move(frame));
}

void FakeDialogService::Close(DialogSession&) { --modelessOpen; }

bool FakeDialogService::DesktopSize(int& width, int& height) {
  width = desktopWidth;
  height = desktopHeight;
  return width > 0 && height > 0;
}

void FakeDialogService::Reset() {
  script.clear();
  trail.clear();
  caption.clear();
  clientWidth = clientHeight = runs = 0;
  scriptRanOut = false;
  desktopWidth = 1024;
  desktopHeight = 768;
  openFails = false;
  modelessOpen = modelessOpened = 0;
  frames.clear();
}

FakeDialogService& FakeDialogs() {
  static FakeDialogService fake;
  return fake;
}

}  // namespace platform::dialog
