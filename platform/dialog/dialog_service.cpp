#include "platform/dialog/dialog_session.hpp"

namespace platform::dialog {
namespace {

DialogService* current = nullptr;

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

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  DialogSession* session = DialogSession::FromHandle(dialog);
  return session && session->SetCheck(session->IndexOf(id), check == BST_CHECKED);
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
