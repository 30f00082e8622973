#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "platform/dialog/dialog_session.hpp"

namespace platform::dialog {
namespace {

DialogService* current = nullptr;

// The desktop window's handle: an address no session has.
char desktop;

std::vector<std::unique_ptr<DialogSession>>& ModelessSessions() {
  static std::vector<std::unique_ptr<DialogSession>> sessions;
  return sessions;
}

std::map<int, DialogIcon>& Icons() {
  static std::map<int, DialogIcon> icons;
  return icons;
}

DialogSession* ModelessFromHandle(HWND dialog) {
  for (const auto& session : ModelessSessions()) {
    if (session.get() == dialog) return session.get();
  }
  return nullptr;
}

// Shows a change of a modeless dialog at once; a modal one is redrawn by its
// run.
void ShowChange(DialogSession& session) {
  if (ModelessFromHandle(session.handle()) && session.TakeRepaint()) Dialogs().Update(session);
}

}  // namespace

DialogService& Dialogs() { return current ? *current : SdlDialogService(); }

void SetDialogService(DialogService* service) { current = service; }

INT_PTR DialogBoxIndirectParamA(void*, const DialogTemplate* dialogTemplate, HWND owner,
                                DLGPROC procedure, LPARAM initParam) {
  if (!dialogTemplate) return -1;
  DialogSession session(*dialogTemplate, procedure, initParam);
  if (!session.valid() || !Dialogs().RunModal(session, owner) || !session.ended()) return -1;
  return session.result();
}

HWND CreateDialogIndirectParamA(void*, const DialogTemplate* dialogTemplate, HWND,
                                DLGPROC procedure, LPARAM initParam) {
  if (!dialogTemplate) return nullptr;
  auto session = std::make_unique<DialogSession>(*dialogTemplate, procedure, initParam);
  if (!session->valid()) return nullptr;
  // Not yet counted as open: what WM_INITDIALOG changes shows with the window.
  session->Start();
  session->TakeRepaint();
  if (!Dialogs().OpenModeless(*session)) return nullptr;
  ModelessSessions().push_back(std::move(session));
  return ModelessSessions().back()->handle();
}

BOOL DestroyWindow(HWND dialog) {
  DialogSession* session = ModelessFromHandle(dialog);
  if (!session) return 0;
  Dialogs().Close(*session);
  std::erase_if(ModelessSessions(), [&](const auto& entry) { return entry.get() == session; });
  return 1;
}

HWND GetDesktopWindow() { return &desktop; }

BOOL GetWindowRect(HWND window, RECT* rect) {
  if (!rect) return 0;
  if (window == &desktop) return GetClientRect(window, rect);
  const DialogSession* session = DialogSession::FromHandle(window);
  if (!session) return 0;
  const DialogLayout& layout = session->layout();
  const int x = session->placed() ? session->x() : layout.x;
  const int y = session->placed() ? session->y() : layout.y;
  *rect = {x, y, x + layout.windowWidth(), y + layout.windowHeight()};
  return 1;
}

BOOL GetClientRect(HWND window, RECT* rect) {
  if (!rect) return 0;
  if (window == &desktop) {
    int width = 0, height = 0;
    if (!Dialogs().DesktopSize(width, height)) return 0;
    *rect = {0, 0, width, height};
    return 1;
  }
  const DialogSession* session = DialogSession::FromHandle(window);
  if (!session) return 0;
  *rect = {0, 0, session->layout().width, session->layout().height};
  return 1;
}

BOOL SetWindowPos(HWND window, HWND, int x, int y, int, int, UINT flags) {
  DialogSession* session = DialogSession::FromHandle(window);
  if (!session) return 0;
  if (!(flags & SWP_NOMOVE)) session->Place(x, y);
  ShowChange(*session);
  return 1;
}

BOOL SetDlgItemTextA(HWND dialog, int id, const char* text) {
  DialogSession* session = DialogSession::FromHandle(dialog);
  const int index = session ? session->IndexOf(id) : -1;
  if (index < 0) return 0;
  session->SetText(index, text);
  ShowChange(*session);
  return 1;
}

UINT GetDlgItemTextA(HWND dialog, int id, char* text, int size) {
  const DialogSession* session = DialogSession::FromHandle(dialog);
  const int index = session ? session->IndexOf(id) : -1;
  if (!text || size <= 0) return 0;
  text[0] = '\0';
  if (index < 0) return 0;
  const std::string& value = session->text(index);
  const size_t length = std::min(value.size(), static_cast<size_t>(size - 1));
  std::memcpy(text, value.data(), length);
  text[length] = '\0';
  return static_cast<UINT>(length);
}

void RegisterDialogIcon(int resourceId, const DialogIcon& icon) { Icons()[resourceId] = icon; }

const DialogIcon* FindDialogIcon(int resourceId) {
  const auto found = Icons().find(resourceId);
  return found == Icons().end() ? nullptr : &found->second;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  DialogSession* session = DialogSession::FromHandle(dialog);
  if (!session || !session->SetCheck(session->IndexOf(id), check == BST_CHECKED)) return 0;
  ShowChange(*session);
  return 1;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  const DialogSession* session = DialogSession::FromHandle(dialog);
  if (!session) return BST_UNCHECKED;
  const int index = session->IndexOf(id);
  return index >= 0 && session->checked(index) ? BST_CHECKED : BST_UNCHECKED;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  DialogSession* session = DialogSession::FromHandle(dialog);
  if (!session) return 0;
  session->End(result);
  return 1;
}

}  // namespace platform::dialog
