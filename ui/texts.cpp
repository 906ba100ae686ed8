#include "ui/texts.h"

void PutWindowText(HWND window, const char* text) {
  SetWindowTextA(window, text ? text : "");
}

TextValue TakeWindowText(HWND window) {
  // The length is an upper bound for double-byte texts; the copy gives the real one.
  const int bound = GetWindowTextLengthA(window);
  if (bound <= 0) return TextValue();
  TextValue buffer = TextValue::Allocate(static_cast<std::size_t>(bound));
  const int length = GetWindowTextA(window, buffer.MutableBytes(), bound + 1);
  if (length <= 0) return TextValue();
  return TextValue::Copy(buffer.Bytes(), static_cast<std::size_t>(length));
}

int PutMessageBox(HWND owner, const char* text, const char* caption, UINT style) {
  return MessageBoxA(owner, text ? text : "", caption ? caption : "", style);
}
