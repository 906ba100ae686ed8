#include "tests/test_windows.h"

HWND CreateTestWindow(const char* className, WNDPROC procedure, DWORD style) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = className;
  RegisterClassA(&windowClass);  // a class registered by an earlier case serves as well
  if (style == 0) {
    return CreateWindowExA(0, className, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  }
  return CreateWindowExA(0, className, "test window", style, 20, 20, 300, 200, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}
