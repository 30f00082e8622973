// One running dialog: its controls' state, the focus, and the keyboard and
// mouse habits of dialog.hpp. Drivers feed it input and draw it; it calls the
// dialog procedure. The HWND the procedure sees is the session itself.
#pragma once

#include <string>
#include <vector>

#include "platform/dialog/dialog.hpp"
#include "platform/dialog/dialog_layout.hpp"

namespace platform::dialog {

class DialogSession {
 public:
  DialogSession(const DialogTemplate& dialogTemplate, DLGPROC procedure, LPARAM initParam);
  ~DialogSession();
  DialogSession(const DialogSession&) = delete;
  DialogSession& operator=(const DialogSession&) = delete;

  // False when the dialog font could not be had; such a session never runs.
  bool valid() const { return valid_; }
  const DialogTemplate& dialogTemplate() const { return template_; }
  const DialogLayout& layout() const { return layout_; }
  HFONT font() const { return font_.handle(); }
  HWND handle() { return this; }
  // Null unless `dialog` is a live session.
  static DialogSession* FromHandle(HWND dialog);

  // Input. Each may call the procedure; all are ignored once it has ended.
  void Start();  // WM_INITDIALOG
  void Key(DialogKey key, bool shift);
  void MouseDown(int x, int y);
  void MouseMove(int x, int y);
  void MouseUp(int x, int y);
  void Close();  // the window's close button

  bool ended() const { return ended_; }
  INT_PTR result() const { return result_; }
  void End(INT_PTR result);

  // Controls by template index.
  int count() const { return static_cast<int>(controls_.size()); }
  const DialogItemTemplate& item(int index) const { return template_.items[index]; }
  int IndexOf(int id) const;  // the first control with that id, or -1
  bool checked(int index) const { return controls_[index].checked; }
  bool tabStop(int index) const { return controls_[index].tabStop; }
  bool SetCheck(int index, bool check);  // false for a control that is no button
  int focus() const { return focus_; }   // -1: none
  int pushedDown() const { return pressedInside_ ? pressed_ : -1; }
  int defaultButton() const;  // the push button Enter presses, or -1

  // The group of a control: [first, last) from its WS_GROUP control.
  int GroupStart(int index) const;
  int GroupEnd(int index) const;
  // The radio buttons of the group a radio button belongs to.
  std::vector<int> RadioGroupOf(int index) const;

  // A control's text: the template's caption until SetText.
  const std::string& text(int index) const { return texts_[index]; }
  void SetText(int index, const char* text);

  // Window position on the desktop, once SetWindowPos has placed it.
  bool placed() const { return placed_; }
  int x() const { return x_; }
  int y() const { return y_; }
  void Place(int x, int y);

  // True once after every change that shows.
  bool TakeRepaint();

 private:
  struct Control {
    bool checked = false;
    bool tabStop = false;
  };

  bool Focusable(int index) const;
  bool IsKind(int index, ControlKind kind) const;
  int HitTest(int x, int y) const;
  void SetFocus(int index);
  void MoveToTabStop(bool backwards);
  void MoveWithinGroup(bool backwards);
  void ClickButton(int index);
  void Command(int id);

  const DialogTemplate& template_;
  DLGPROC procedure_;
  LPARAM initParam_;
  DialogFont font_;
  DialogLayout layout_;
  std::vector<Control> controls_;
  std::vector<std::string> texts_;
  bool placed_ = false;
  int x_ = 0, y_ = 0;
  bool valid_ = false;
  bool ended_ = false;
  INT_PTR result_ = 0;
  int focus_ = -1;
  int pressed_ = -1;  // control the mouse went down on
  bool pressedInside_ = false;
  bool repaint_ = true;
};

}  // namespace platform::dialog
