// The one place where texts cross into and out of Windows. Every text is
// a code page 936 byte string handed to the ANSI functions unchanged.
#pragma once

#include <windows.h>

#include "profile/text_value.h"

// Sets the title, caption or text of a window; null is the empty text.
void PutWindowText(HWND window, const char* text);
// The window's text as a new TextValue; absent when it is empty.
TextValue TakeWindowText(HWND window);
// Shows a message box and gives MessageBoxA's result.
int PutMessageBox(HWND owner, const char* text, const char* caption, UINT style);
