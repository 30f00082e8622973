// A small dialog for the dialog manager's tests, and a procedure that logs
// what it gets.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "platform/dialog/dialog.hpp"

namespace dialog_test {

using namespace platform::dialog;

enum : int { kAlpha = 10, kRed = 11, kGreen = 12, kFrame = 13, kBlue = 14, kNote = 20 };

inline constexpr DialogItemTemplate kItems[] = {
    {kAlpha, ControlKind::CheckBox, "Alpha", {5, 5, 60, 10}, WS_TABSTOP},
    {kRed, ControlKind::RadioButton, "Red", {10, 25, 50, 10}, WS_GROUP | WS_TABSTOP},
    {kGreen, ControlKind::RadioButton, "Green", {10, 40, 50, 10}, WS_TABSTOP},
    {kFrame, ControlKind::GroupBox, "Colour", {5, 15, 60, 55}, 0},
    {kBlue, ControlKind::RadioButton, "Blue", {10, 55, 50, 10}, WS_TABSTOP},
    {IDOK, ControlKind::PushButton, "OK", {80, 5, 40, 14}, WS_GROUP | WS_TABSTOP},
    {IDCANCEL, ControlKind::PushButton, "Cancel", {80, 25, 40, 14}, WS_TABSTOP},
    {kNote, ControlKind::StaticText, "Note", {80, 45, 40, 8}, 0},
    {kAlpha, ControlKind::CheckBox, "Second alpha", {5, 75, 60, 10}, WS_GROUP},
};

inline constexpr DialogTemplate kTemplate{
    "TEST", WS_VISIBLE | WS_CAPTION | DS_SETFONT, {0, 0, 130, 90}, "Test dialog", "Helv", 8,
    kItems};

struct Message {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// What the logging procedure got and does.
struct ProcedureLog {
  std::vector<Message> messages;
  INT_PTR initResult = 0;   // returned for WM_INITDIALOG
  INT_PTR closeResult = 0;  // returned for WM_CLOSE
  bool endOnOkCancel = true;
  std::vector<int> checkAtInit;  // ids the procedure checks in WM_INITDIALOG
  std::vector<int> commandIds() const {
    std::vector<int> ids;
    for (const Message& m : messages) {
      if (m.message == WM_COMMAND) ids.push_back(LOWORD(m.wParam));
    }
    return ids;
  }
};

inline ProcedureLog& Log() {
  static ProcedureLog log;
  return log;
}

// OK and Cancel end the dialog with ten times their id.
inline INT_PTR LoggingProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  Log().messages.push_back({message, wParam, lParam});
  if (message == WM_INITDIALOG) {
    for (int id : Log().checkAtInit) CheckDlgButton(dialog, id, BST_CHECKED);
    return Log().initResult;
  }
  if (message == WM_CLOSE) return Log().closeResult;
  if (message == WM_COMMAND && Log().endOnOkCancel) {
    const int id = LOWORD(wParam);
    if (id == IDOK || id == IDCANCEL) EndDialog(dialog, id * 10);
  }
  return 0;
}

inline void ResetLog() { Log() = ProcedureLog{}; }

// Runs kTemplate on the fake driver against `script`.
inline INT_PTR RunScripted(std::vector<DialogInput> script, LPARAM initParam = 0) {
  FakeDialogs().Reset();
  FakeDialogs().script = std::move(script);
  Log().messages.clear();
  return DialogBoxIndirectParamA(nullptr, &kTemplate, nullptr, LoggingProcedure, initParam);
}

}  // namespace dialog_test
