// Keyboard focus among MainWindow's tab stops.
#pragma once

#include <windows.h>

// The first tab stop that can take the focus now, or null.
HWND FirstFocusCandidate();
// Moves the focus from `current` to the next (or previous) tab stop that
// can take it, wrapping around; does nothing when `current` is no control.
void MoveFocus(HWND current, bool forward);
