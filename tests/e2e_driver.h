// Drives a separate Relvanta process from outside, as a person would: starts
// it in a game folder of its own, finds its windows, reads them with bounded
// cross-process messages and feeds it real mouse and keyboard input.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/test_files.h"
#include "ui/main_window.h"

// What TextOf gives when the window did not answer in time.
extern const char kNoAnswer[];

// Path of the tool's executable as Windows sees it, from RELVANTA_EXE; a
// Unix path is mapped through drive Z:.
std::string ToolExecutable();

// Polls `done` until it holds or `timeoutMs` passes, handling the driver's
// own messages meanwhile; true when it held.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

// Handles the driver's own messages until none has come for `quietMs`, at
// most for `limitMs`.
void DrainOwnMessages(DWORD quietMs = 300, DWORD limitMs = 3000);

// Sends a message to a window of another process from a helper thread with
// its own deadline, so a receiver that never answers can't hold the driver.
// `payload`, when given, is copied and passed as lParam and copied back.
bool BoundedSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result,
                 std::string* payload = nullptr, DWORD timeoutMs = 5000);
// WM_GETTEXT, the only way to read another process's edit box.
std::string TextOf(HWND window);
bool SetTextOf(HWND window, const std::string& text);

// Screen rectangle of a window, and the screen origin of its client area.
RECT ScreenRect(HWND window);
POINT ClientOrigin(HWND window);
POINT Centre(const RECT& rect);

// Real input through SendInput.
bool MoveMouseTo(POINT screen);  // false when the cursor did not land there
bool ClickAt(POINT screen);
// Presses `key` with `modifiers` held, releasing all in reverse order.
bool PressKey(WORD key, std::initializer_list<WORD> modifiers = {});

// A copy of part of the screen, for sampling what is really drawn.
class ScreenCapture {
 public:
  explicit ScreenCapture(const RECT& area);
  bool Valid() const { return !pixels_.empty(); }
  // Colour at a screen point; CLR_INVALID outside the captured area.
  COLORREF At(int x, int y) const;
  // Writes the capture as a 24-bit BMP file.
  bool SaveBmp(const std::string& path) const;

 private:
  RECT area_;
  std::vector<DWORD> pixels_;  // top-down rows, 0x00RRGGBB
};

// One Relvanta process started from a copy of the tool in `folder`.
class ToolProcess {
 public:
  ToolProcess() = default;
  ~ToolProcess();  // ends it, whatever state it is in
  ToolProcess(const ToolProcess&) = delete;
  ToolProcess& operator=(const ToolProcess&) = delete;

  // Copies the tool into `folder` and starts it with `arguments` from
  // `currentDirectory`, then waits until its main window is visible.
  ::testing::AssertionResult Start(const std::string& folder, const std::string& currentDirectory,
                                   const std::string& arguments);
  HWND Main() const { return main_; }
  DWORD ProcessId() const { return info_.dwProcessId; }
  bool Running() const;
  // Waits for the process to end and checks its exit code.
  ::testing::AssertionResult ExitsWith(DWORD expected, DWORD timeoutMs = 5000) const;
  // The window with the keyboard focus in the tool's GUI thread.
  HWND Focus() const;
  // The active window of the tool's GUI thread, null while it is inactive.
  HWND Active() const;
  // A top-level dialog (#32770) of the process, null when none.
  HWND FindDialog() const;
  // The control with the identifier of `unit`, anywhere below the main window.
  HWND Control(Unit unit) const;
  // Makes the main window the foreground window, by a title-bar click when
  // asking for it is not enough.
  ::testing::AssertionResult BringToFront() const;

 private:
  PROCESS_INFORMATION info_ = {};
  HWND main_ = nullptr;
  DWORD thread_ = 0;
};

// Short ASCII name of a control, for failure messages.
std::string NameOf(HWND control);
// Polls until the window's text is `expected`; the failure shows what it was.
::testing::AssertionResult TextBecomes(HWND window, const std::string& expected,
                                       DWORD timeoutMs = 5000);
// Polls until the tool's focus is on `expected`.
::testing::AssertionResult FocusBecomes(const ToolProcess& tool, HWND expected,
                                        DWORD timeoutMs = 5000);
