// Window handles behind the named units, for the shell and the tests.
#pragma once

#include <windows.h>

#include "ui/main_window.h"

// The handle of a unit; null when the window does not exist.
HWND WindowOf(Unit unit);
// The unit whose window is `window`, or false when it is none of them.
bool UnitOfWindow(HWND window, Unit* unit);
// The control identifier that each control carries, for finding it from outside.
constexpr int ControlId(Unit unit) {
  return 1000 + static_cast<int>(unit);
}
