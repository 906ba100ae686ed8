#include "tests/e2e_driver.h"

#include <cstdio>
#include <cstdlib>

#include "ui/window_handles.h"

const char kNoAnswer[] = "<no answer>";

namespace {

constexpr char kTitle[] = "Relvanta V2.2 Tobrisk";

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

std::string LastError() {
  return "error " + std::to_string(GetLastError());
}

// Shared by the caller and the helper thread, which may outlive the call
// when the receiver never answers; the last of the two frees it. Plain
// Win32 threads: the pthread layer has crashed here when a detached thread
// ended.
struct SendJob {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  bool hasPayload;
  std::string payload;
  LRESULT result = 0;
  HANDLE done = nullptr;
  LONG references = 2;

  void Release() {
    if (InterlockedDecrement(&references) != 0) return;
    CloseHandle(done);
    delete this;
  }
};

DWORD WINAPI SendFromHelper(void* context) {
  auto* job = static_cast<SendJob*>(context);
  job->result =
      SendMessageA(job->window, job->message, job->wParam,
                   job->hasPayload ? reinterpret_cast<LPARAM>(job->payload.data()) : job->lParam);
  SetEvent(job->done);
  job->Release();
  return 0;
}

BOOL CALLBACK FindMainWindow(HWND window, LPARAM context) {
  auto* state = reinterpret_cast<std::pair<DWORD, HWND*>*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char title[64] = {};
  if (owner == state->first && IsWindowVisible(window) &&
      GetWindowTextA(window, title, sizeof title) > 0 && std::string(title) == kTitle) {
    *state->second = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindDialogWindow(HWND window, LPARAM context) {
  auto* state = reinterpret_cast<std::pair<DWORD, HWND>*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char name[16] = {};
  if (owner == state->first && IsWindowVisible(window) &&
      GetClassNameA(window, name, sizeof name) && std::string(name) == "#32770") {
    state->second = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindControlWindow(HWND window, LPARAM context) {
  auto* state = reinterpret_cast<std::pair<int, HWND>*>(context);
  if (GetDlgCtrlID(window) != state->first) return TRUE;
  state->second = window;
  return FALSE;
}

}  // namespace

std::string ToolExecutable() {
  const char* value = std::getenv("RELVANTA_EXE");
  std::string path = value ? value : "";
  if (!path.empty() && path[0] == '/') {
    for (char& c : path) {
      if (c == '/') c = '\\';
    }
    path = "Z:" + path;
  }
  return path;
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    if (done()) return true;
    if (GetTickCount64() - start > timeoutMs) return false;
    // The driver's own windows must keep answering while it waits.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void DrainOwnMessages(DWORD quietMs, DWORD limitMs) {
  const ULONGLONG start = GetTickCount64();
  ULONGLONG last = start;
  while (GetTickCount64() - last < quietMs && GetTickCount64() - start < limitMs) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
      last = GetTickCount64();
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

bool BoundedSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result,
                 std::string* payload, DWORD timeoutMs) {
  auto* job = new SendJob{
      window, message, wParam, lParam, payload != nullptr, payload ? *payload : std::string()};
  job->done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = job->done ? CreateThread(nullptr, 0, SendFromHelper, job, 0, nullptr) : nullptr;
  if (thread == nullptr) {
    if (job->done) CloseHandle(job->done);
    delete job;
    return false;
  }
  CloseHandle(thread);
  const bool answered = WaitForSingleObject(job->done, timeoutMs) == WAIT_OBJECT_0;
  if (answered) {
    if (result) *result = job->result;
    if (payload) *payload = job->payload;
  }
  job->Release();
  return answered;
}

std::string TextOf(HWND window) {
  std::string buffer(8192, '\0');
  LRESULT length = 0;
  if (!BoundedSend(window, WM_GETTEXT, buffer.size(), 0, &length, &buffer)) return kNoAnswer;
  if (length < 0 || static_cast<size_t>(length) > buffer.size()) return kNoAnswer;
  return buffer.substr(0, static_cast<size_t>(length));
}

bool SetTextOf(HWND window, const std::string& text) {
  std::string buffer = text + '\0';
  LRESULT done = FALSE;
  return BoundedSend(window, WM_SETTEXT, 0, 0, &done, &buffer) && done;
}

RECT ScreenRect(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return rect;
}

POINT ClientOrigin(HWND window) {
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  return origin;
}

POINT Centre(const RECT& rect) {
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

bool MoveMouseTo(POINT screen) {
  // Absolute input is scaled by width / 65536 and truncated; round up so
  // the truncation lands on the wanted pixel.
  const LONG width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>((screen.x * 65536LL + width - 1) / width);
  input.mi.dy = static_cast<LONG>((screen.y * 65536LL + height - 1) / height);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  if (SendInput(1, &input, sizeof input) != 1) return false;
  return WaitUntil(
      [&] {
        POINT at;
        return GetCursorPos(&at) && at.x == screen.x && at.y == screen.y;
      },
      2000);
}

bool ClickAt(POINT screen) {
  if (!MoveMouseTo(screen)) return false;
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  return SendInput(2, inputs, sizeof inputs[0]) == 2;
}

bool PressKey(WORD key, std::initializer_list<WORD> modifiers) {
  std::vector<INPUT> inputs;
  auto add = [&](WORD vk, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  };
  for (WORD modifier : modifiers) add(modifier, false);
  add(key, false);
  add(key, true);
  for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) add(*it, true);
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

ScreenCapture::ScreenCapture(const RECT& area) : area_(area) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return;
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return;
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap =
      memory ? CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  if (bitmap) {
    HGDIOBJ previous = SelectObject(memory, bitmap);
    if (BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY)) {
      GdiFlush();
      const DWORD* source = static_cast<const DWORD*>(bits);
      pixels_.assign(source, source + static_cast<size_t>(width) * height);
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
  }
  if (memory) DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

COLORREF ScreenCapture::At(int x, int y) const {
  if (!Valid() || x < area_.left || x >= area_.right || y < area_.top || y >= area_.bottom) {
    return CLR_INVALID;
  }
  const DWORD pixel =
      pixels_[static_cast<size_t>(y - area_.top) * (area_.right - area_.left) + (x - area_.left)];
  return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

bool ScreenCapture::SaveBmp(const std::string& path) const {
  if (!Valid()) return false;
  const int width = area_.right - area_.left, height = area_.bottom - area_.top;
  const int stride = (width * 3 + 3) & ~3;
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER header = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(stride) * height;
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;  // bottom-up
  header.biPlanes = 1;
  header.biBitCount = 24;
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
  for (int row = height - 1; row >= 0; --row) {
    std::string line(static_cast<size_t>(stride), '\0');
    for (int x = 0; x < width; ++x) {
      const DWORD pixel = pixels_[static_cast<size_t>(row) * width + x];
      line[x * 3] = static_cast<char>(pixel & 0xFF);
      line[x * 3 + 1] = static_cast<char>((pixel >> 8) & 0xFF);
      line[x * 3 + 2] = static_cast<char>((pixel >> 16) & 0xFF);
    }
    bytes += line;
  }
  return WriteFileBytes(path, bytes);
}

ToolProcess::~ToolProcess() {
  if (info_.hProcess == nullptr) return;
  if (Running()) TerminateProcess(info_.hProcess, 1);
  WaitForSingleObject(info_.hProcess, 5000);
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

::testing::AssertionResult ToolProcess::Start(const std::string& folder,
                                              const std::string& currentDirectory,
                                              const std::string& arguments) {
  const std::string source = ToolExecutable();
  if (source.empty()) return ::testing::AssertionFailure() << "RELVANTA_EXE is not set";
  const std::string target = folder + "\\Relvanta.exe";
  if (!CopyFileA(source.c_str(), target.c_str(), FALSE)) {
    return ::testing::AssertionFailure() << "can't copy " << source << ": " << LastError();
  }
  std::string commandLine = Quoted(target) + " " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      currentDirectory.c_str(), &startup, &info_)) {
    info_ = {};
    return ::testing::AssertionFailure() << "can't start " << commandLine << ": " << LastError();
  }
  HWND found = nullptr;
  std::pair<DWORD, HWND*> wanted{info_.dwProcessId, &found};
  auto look = [&] {
    found = nullptr;
    EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&wanted));
    return found != nullptr || !Running();
  };
  if (!WaitUntil(look, 20000) || found == nullptr) {
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return ::testing::AssertionFailure()
           << "no visible window titled " << kTitle << " from " << commandLine
           << (Running() ? " (still running)" : " (ended with " + std::to_string(code) + ")");
  }
  main_ = found;
  thread_ = GetWindowThreadProcessId(main_, nullptr);
  // Shown is not yet idle: the first start after the server came up can
  // keep the thread busy for seconds.
  if (!BoundedSend(main_, WM_NULL, 0, 0, nullptr, nullptr, 20000)) {
    return ::testing::AssertionFailure() << "the tool's window does not answer";
  }
  return ::testing::AssertionSuccess();
}

bool ToolProcess::Running() const {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

::testing::AssertionResult ToolProcess::ExitsWith(DWORD expected, DWORD timeoutMs) const {
  if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
    return ::testing::AssertionFailure()
           << "the tool is still running after " << timeoutMs << " ms";
  }
  DWORD code = 0;
  if (!GetExitCodeProcess(info_.hProcess, &code)) {
    return ::testing::AssertionFailure() << "no exit code: " << LastError();
  }
  if (code != expected) {
    return ::testing::AssertionFailure()
           << "the tool ended with " << code << ", expected " << expected;
  }
  return ::testing::AssertionSuccess();
}

HWND ToolProcess::Focus() const {
  GUITHREADINFO state = {};
  state.cbSize = sizeof state;
  if (!GetGUIThreadInfo(thread_, &state)) return nullptr;
  return state.hwndFocus;
}

HWND ToolProcess::Active() const {
  GUITHREADINFO state = {};
  state.cbSize = sizeof state;
  if (!GetGUIThreadInfo(thread_, &state)) return nullptr;
  return state.hwndActive;
}

HWND ToolProcess::FindDialog() const {
  std::pair<DWORD, HWND> state{info_.dwProcessId, nullptr};
  EnumWindows(FindDialogWindow, reinterpret_cast<LPARAM>(&state));
  return state.second;
}

HWND ToolProcess::Control(Unit unit) const {
  std::pair<int, HWND> state{ControlId(unit), nullptr};
  EnumChildWindows(main_, FindControlWindow, reinterpret_cast<LPARAM>(&state));
  return state.second;
}

::testing::AssertionResult ToolProcess::BringToFront() const {
  auto front = [&] { return GetForegroundWindow() == main_; };
  SetForegroundWindow(main_);
  if (WaitUntil(front, 2000)) return ::testing::AssertionSuccess();
  const RECT outer = ScreenRect(main_);
  const POINT caption = {outer.left + 60, outer.top + GetSystemMetrics(SM_CYFIXEDFRAME) +
                                              GetSystemMetrics(SM_CYCAPTION) / 2};
  if (ClickAt(caption) && WaitUntil(front, 2000)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the tool's window does not come to the front";
}

std::string NameOf(HWND control) {
  static const char* const kNames[] = {"Button5", "GroupBox3", "Label5",  "Edit5",   "Edit6",
                                       "Label6",  "GroupBox2", "Button4", "Label3",  "Edit3",
                                       "Edit4",   "Label4",    "Button3", "Label2",  "Edit2",
                                       "Edit1",   "Label1",    "Button2", "Button1", "GroupBox1"};
  if (control == nullptr) return "(nothing)";
  const int n = GetDlgCtrlID(control) - ControlId(Unit::MainWindow);
  if (GetParent(control) != nullptr && n >= 1 && n <= kControlCount) return kNames[n - 1];
  char title[64] = {};
  GetWindowTextA(control, title, sizeof title);
  if (std::string(title) == kTitle) return "the main window";
  char text[32];
  std::snprintf(text, sizeof text, "window %p", static_cast<void*>(control));
  return text;
}

::testing::AssertionResult TextBecomes(HWND window, const std::string& expected, DWORD timeoutMs) {
  std::string seen;
  if (WaitUntil([&] { return (seen = TextOf(window)) == expected; }, timeoutMs)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << NameOf(window) << " shows " << Quoted(seen) << ", expected " << Quoted(expected);
}

::testing::AssertionResult FocusBecomes(const ToolProcess& tool, HWND expected, DWORD timeoutMs) {
  // The focus must stay put for a moment, so a key that moves it twice is
  // not taken for one that moves it once.
  HWND seen = nullptr;
  ULONGLONG since = 0;
  const bool settled = WaitUntil(
      [&] {
        seen = tool.Focus();
        if (seen != expected) {
          since = 0;
          return false;
        }
        if (since == 0) since = GetTickCount64();
        return GetTickCount64() - since >= 150;
      },
      timeoutMs);
  if (settled) return ::testing::AssertionSuccess();
  if (!tool.Running()) return ::testing::AssertionFailure() << "the tool has ended";
  return ::testing::AssertionFailure()
         << "focus is on " << NameOf(seen) << ", expected " << NameOf(expected);
}
