#include "logic/screen_size.h"

#include <cstdio>

#include "ui/screen.h"

TextValue ScreenSizeText(int size) {
  char digits[16];
  const int length = std::snprintf(digits, sizeof digits, "%d", size);
  return TextValue::Copy(digits, static_cast<std::size_t>(length));
}

void ShowScreenSizeIn(Unit widthField, Unit heightField) {
  SetText(widthField, ScreenSizeText(ScreenWidth()).Bytes());
  SetText(heightField, ScreenSizeText(ScreenHeight()).Bytes());
}
