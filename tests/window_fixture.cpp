#include "tests/window_fixture.h"

#include "logic/game_target.h"
#include "profile/run_directory.h"
#include "ui/layout.h"
#include "ui/window_handles.h"

MessageBoxRecorder* MessageBoxRecorder::active_ = nullptr;

MessageBoxRecorder::MessageBoxRecorder()
    : hook_(SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId())) {
  active_ = this;
}

MessageBoxRecorder::~MessageBoxRecorder() {
  UnhookWindowsHookEx(hook_);
  active_ = nullptr;
}

namespace {

std::string WindowText(HWND window) {
  char text[4096] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

struct ChildCount {
  int buttons = 0;
  bool icon = false;
  std::string text;  // of the text static, whatever its identifier
};

BOOL CALLBACK CountChild(HWND child, LPARAM context) {
  auto* count = reinterpret_cast<ChildCount*>(context);
  char className[64] = {};
  GetClassNameA(child, className, sizeof className);
  const LONG style = GetWindowLongA(child, GWL_STYLE);
  if (lstrcmpiA(className, "Button") == 0 && IsWindowVisible(child)) ++count->buttons;
  if (lstrcmpiA(className, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
    // The box may keep an empty icon static when it shows no icon.
    if (IsWindowVisible(child) && SendMessageA(child, STM_GETICON, 0, 0) != 0) count->icon = true;
  } else if (lstrcmpiA(className, "Static") == 0 && count->text.empty()) {
    count->text = WindowText(child);
  }
  return TRUE;
}

}  // namespace

namespace {

HWND pendingBox;

// Runs from the box's own modal loop once it is fully set up.
void CALLBACK RecordPendingBox(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  HWND box = pendingBox;
  pendingBox = nullptr;
  MessageBoxRecorder* recorder = MessageBoxRecorder::Active();
  if (box == nullptr || recorder == nullptr || !IsWindow(box)) return;
  ChildCount count;
  EnumChildWindows(box, CountChild, reinterpret_cast<LPARAM>(&count));
  HWND main = WindowOf(Unit::MainWindow);
  RecordedBox record = {count.text,
                        WindowText(box),
                        main != nullptr && IsWindowEnabled(main) != FALSE,
                        (GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0,
                        count.buttons,
                        count.icon,
                        GetWindow(box, GW_OWNER)};
  recorder->boxes.push_back(record);
  if (recorder->whileOpen) recorder->whileOpen(record);
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(recorder->answer, BN_CLICKED), 0);
}

}  // namespace

LRESULT CALLBACK MessageBoxRecorder::Hook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && active_ != nullptr) {
    HWND box = reinterpret_cast<HWND>(wParam);
    char className[16] = {};
    GetClassNameA(box, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0 && !GetPropA(box, "recorded")) {
      SetPropA(box, "recorded", reinterpret_cast<HANDLE>(1));
      // Its texts are filled in after activation: read them from its loop.
      pendingBox = box;
      SetTimer(nullptr, 0, 10, RecordPendingBox);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) break;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void MainWindowTest::SetUp() {
  ASSERT_TRUE(LoadLayout());
  ASSERT_TRUE(CreateMainWindow());
  FixRunDirectory((folder_ / "Relvanta.exe").c_str());
  Ra2ConfigFound = 0;
  Ra2mdConfigFound = 0;
}

void MainWindowTest::TearDown() {
  DestroyMainWindow();
  PumpMessages();
  UnloadLayout();
}

void MainWindowTest::WriteGameFile(const std::string& name, const std::string& width,
                                   const std::string& height) {
  ASSERT_TRUE(WriteFileBytes(InRunDirectory(name), "[Video]\r\nScreenWidth=" + width +
                                                       "\r\nScreenHeight=" + height + "\r\n"));
}

std::string MainWindowTest::Text(Unit unit) const {
  const TextValue text = GetText(unit);
  return text.IsAbsent() ? "<absent>" : text.Bytes();
}

bool MainWindowTest::Enabled(Unit unit) const {
  return IsWindowEnabled(WindowOf(unit)) != FALSE;
}

std::string MainWindowTest::Caption(Unit unit) const {
  return WindowText(WindowOf(unit));
}
