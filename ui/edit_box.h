// Edit boxes whose one line of text stands in the middle of the box.
#pragma once

#include <windows.h>

// Makes a created edit box centre its line vertically and keeps it at least
// as tall as its font needs; `framed` gives it a one-pixel border round the
// whole box (create the box without WS_BORDER for that).
void DressEditBox(HWND edit, HFONT font, bool framed);
// Height of one line of `text` in `font`, as the platform measures it.
int TextHeight(HWND window, HFONT font, const char* text);
