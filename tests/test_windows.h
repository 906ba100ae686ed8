// Windows of a test's own: message-only ones that run test code in queue
// order, and plain top-level ones that take the activation away.
#pragma once

#include <windows.h>

// Registers `className` with `procedure` (once per process) and creates a
// window of it: message-only when `style` is 0, else top-level with `style`.
HWND CreateTestWindow(const char* className, WNDPROC procedure, DWORD style = 0);
