#include "ui/screen.h"

#include <windows.h>

namespace {

// Real, unscaled pixels from the screen's device context; where the driver
// reports none, the system metric. A failure gives 0, shown as such.
int ScreenSize(int deviceCap, int metric) {
  int size = 0;
  if (HDC screen = GetDC(nullptr)) {
    size = GetDeviceCaps(screen, deviceCap);
    ReleaseDC(nullptr, screen);
  }
  return size != 0 ? size : GetSystemMetrics(metric);
}

}  // namespace

int ScreenWidth() {
  return ScreenSize(DESKTOPHORZRES, SM_CXSCREEN);
}
int ScreenHeight() {
  return ScreenSize(DESKTOPVERTRES, SM_CYSCREEN);
}
