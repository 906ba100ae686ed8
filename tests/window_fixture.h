// A real MainWindow, created hidden, with its run directory in a fresh
// temporary folder, and message boxes recorded and closed without a person.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/test_files.h"
#include "ui/main_window.h"

// What a message box showed, read while it was open.
struct RecordedBox {
  std::string text;
  std::string caption;
  bool mainWindowEnabled;  // false while a task-modal box is open
  bool topmost;            // system-modal boxes stay on top
  int buttons;             // push buttons in the box
  bool icon;               // an icon beside the text
  HWND owner;
};

// Records every message box the thread opens and closes it with `answer`
// (IDOK by default). `whileOpen` runs while each box is open, after recording.
class MessageBoxRecorder {
 public:
  MessageBoxRecorder();
  ~MessageBoxRecorder();
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  std::vector<RecordedBox> boxes;
  int answer = IDOK;
  std::function<void(const RecordedBox&)> whileOpen;
  static MessageBoxRecorder* Active() { return active_; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
  static MessageBoxRecorder* active_;
  HHOOK hook_;
};

// Handles whatever is queued, so that posted input reaches the controls.
void PumpMessages();

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Path of a file in the run directory.
  std::string InRunDirectory(const std::string& name) const { return folder_ / name; }
  // Writes a Video section with the two sizes into a file of the run directory.
  void WriteGameFile(const std::string& name, const std::string& width, const std::string& height);
  std::string Text(Unit unit) const;
  bool Enabled(Unit unit) const;
  std::string Caption(Unit unit) const;

  TempFolder folder_;
  MessageBoxRecorder messageBoxes_;
};
