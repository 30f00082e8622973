// Dialog manager: modal and modeless dialogs built from a DialogTemplate and
// driven by a dialog procedure, with the desktop's calls and messages under
// their usual names and meanings.
//
// A modeless dialog (CreateDialogIndirectParamA) gets WM_INITDIALOG, shows at
// once and stays until DestroyWindow; it takes no input. Changes made through
// SetDlgItemTextA or SetWindowPos show at once, without a message loop.
//
// The run, in order: the controls are made from the template, the procedure
// gets WM_INITDIALOG (a non-zero return puts the focus on the first tab stop;
// zero leaves the dialog without a focused control until Tab or a click),
// the dialog is shown, and every click, Space on a button, arrow onto a radio
// button, Enter (the focused push button, else IDOK) and Esc (IDCANCEL)
// reaches the procedure as WM_COMMAND with the control id in the low word,
// BN_CLICKED in the high word and lParam 0. The window's close button sends
// WM_CLOSE; a procedure that returns 0 for it gets WM_COMMAND IDCANCEL
// instead. The run ends after the message in which the procedure called
// EndDialog.
//
// Keyboard: Tab and Shift+Tab walk the tab stops in template order, wrapping.
// The arrow keys move within the focused control's group (the run of
// controls from one WS_GROUP control to the next), wrapping; a radio button
// reached that way is checked. Checking a radio button makes it the tab stop
// of its radio group (the radio buttons of one group), so Tab enters a group
// at its checked button; a group without a checked button keeps the
// template's stops.
//
// Everything here belongs to one thread: the one that runs the dialog.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/dialog/dialog_template.hpp"
#include "platform/window/window_messages.hpp"

namespace platform::dialog {

using HWND = WindowHandle;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using INT_PTR = std::intptr_t;
using DLGPROC = INT_PTR (*)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

using platform::WM_CLOSE;
inline constexpr UINT WM_INITDIALOG = 0x0110;
inline constexpr UINT SWP_NOSIZE = 0x0001;
inline constexpr UINT SWP_NOMOVE = 0x0002;
inline constexpr UINT SWP_NOZORDER = 0x0004;
inline constexpr UINT WM_COMMAND = 0x0111;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr WORD BN_CLICKED = 0;
inline constexpr UINT BST_UNCHECKED = 0;
inline constexpr UINT BST_CHECKED = 1;

constexpr WORD LOWORD(std::uintptr_t value) { return static_cast<WORD>(value & 0xFFFF); }
constexpr WORD HIWORD(std::uintptr_t value) { return static_cast<WORD>((value >> 16) & 0xFFFF); }
constexpr WPARAM MAKEWPARAM(WORD low, WORD high) { return WPARAM{low} | (WPARAM{high} << 16); }

// Runs the dialog modally. `instance` and `owner` are kept for the
// procedure's sake only. Returns the value given to EndDialog, or -1 when the
// dialog could not be shown (no font for it, no desktop).
INT_PTR DialogBoxIndirectParamA(void* instance, const DialogTemplate* dialogTemplate, HWND owner,
                                DLGPROC procedure, LPARAM initParam);

// Creates and shows a modeless dialog; null when it could not be shown.
HWND CreateDialogIndirectParamA(void* instance, const DialogTemplate* dialogTemplate, HWND owner,
                                DLGPROC procedure, LPARAM initParam);
// Closes a modeless dialog; false for anything else.
BOOL DestroyWindow(HWND dialog);

struct RECT {
  int left, top, right, bottom;
};
// The whole desktop: GetClientRect gives its size.
HWND GetDesktopWindow();
// Screen pixels; a dialog's window rectangle includes its frame.
BOOL GetWindowRect(HWND window, RECT* rect);
BOOL GetClientRect(HWND window, RECT* rect);
// Moves a dialog (its size is the template's; SWP_NOSIZE is implied).
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);

// Static texts by id; the first control with that id. Redraws at once.
BOOL SetDlgItemTextA(HWND dialog, int id, const char* text);
// Copies at most size - 1 characters and a terminating zero; the length copied.
UINT GetDlgItemTextA(HWND dialog, int id, char* text, int size);

// Icons for icon controls, whose caption names them as "#<resource id>".
// Straight (not premultiplied) 0xAARRGGBB pixels, row by row; the caller
// keeps them alive.
struct DialogIcon {
  int width, height;
  const std::uint32_t* pixels;
};
void RegisterDialogIcon(int resourceId, const DialogIcon& icon);
// Null when no icon is registered under that id.
const DialogIcon* FindDialogIcon(int resourceId);

// Buttons by id; with two controls of one id, the first in template order.
// Checking a radio button this way leaves the rest of its group alone.
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
BOOL EndDialog(HWND dialog, INT_PTR result);

// Drivers. One is current for the whole process (see drivers.hpp).
class DialogSession;
class DialogService {
 public:
  virtual ~DialogService() = default;
  virtual const char* DriverName() const = 0;
  // Shows the dialog and feeds it input until it has ended; false when it
  // could not be shown at all.
  virtual bool RunModal(DialogSession& session, HWND owner) = 0;
  // Modeless dialogs: opened after WM_INITDIALOG, shown at once; Update
  // shows a change of text or position; Close takes the window away.
  virtual bool OpenModeless(DialogSession& session) = 0;
  virtual void Update(DialogSession& session) = 0;
  virtual void Close(DialogSession& session) = 0;
  // The desktop's size in pixels; false without one.
  virtual bool DesktopSize(int& width, int& height) = 0;
};

DialogService& Dialogs();
void SetDialogService(DialogService* service);  // null: the SDL driver

// A window of its own over SDL2, drawn with the text service's fonts.
DialogService& SdlDialogService();

// Input for the fake driver, in client pixels where it has a position.
enum class DialogKey { Tab, Left, Right, Up, Down, Space, Enter, Escape };
struct DialogInput {
  enum class Kind { Key, MouseDown, MouseMove, MouseUp, ClickItem, Close };
  Kind kind;
  DialogKey key = DialogKey::Tab;
  bool shift = false;
  int x = 0, y = 0;  // mouse position; the control id for ClickItem

  static DialogInput Press(DialogKey key, bool shift = false) { return {Kind::Key, key, shift}; }
  static DialogInput Click(int id) { return {Kind::ClickItem, DialogKey::Tab, false, id}; }
  static DialogInput Mouse(Kind kind, int x, int y) { return {kind, DialogKey::Tab, false, x, y}; }
  static DialogInput CloseBox() { return {Kind::Close}; }
};

// Test driver: no window. Runs the procedure against `script`, one input at a
// time, and records the dialog's state after WM_INITDIALOG and after every
// input. A script that runs out before EndDialog makes the run fail (-1).
class FakeDialogService final : public DialogService {
 public:
  struct Snapshot {
    int focusId;  // 0: no focused control
    std::vector<int> checkedIds;
    std::vector<int> tabStopIds;
  };

  // What a modeless dialog showed each time it was drawn.
  struct Frame {
    int x, y;                        // window position on the desktop
    std::vector<std::string> texts;  // every control's text, template order
  };

  const char* DriverName() const override { return "fake"; }
  bool RunModal(DialogSession& session, HWND owner) override;
  bool OpenModeless(DialogSession& session) override;
  void Update(DialogSession& session) override;
  void Close(DialogSession& session) override;
  bool DesktopSize(int& width, int& height) override;
  void Reset();

  std::vector<DialogInput> script;
  // Filled by each run.
  std::vector<Snapshot> trail;
  std::string caption;
  int clientWidth = 0, clientHeight = 0;
  int runs = 0;
  bool scriptRanOut = false;
  // Modeless dialogs.
  int desktopWidth = 1024, desktopHeight = 768;
  bool openFails = false;
  int modelessOpen = 0;  // open now
  int modelessOpened = 0;
  std::vector<Frame> frames;
};

FakeDialogService& FakeDialogs();

}  // namespace platform::dialog
