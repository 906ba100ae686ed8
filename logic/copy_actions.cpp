// Copying the screen size into the game fields. No file is touched.
#include "logic/game_target.h"
#include "logic/routines.h"
#include "logic/screen_size.h"

void CopyScreenToRa2() {
  ShowScreenSizeIn(Ra2Target().widthField, Ra2Target().heightField);
}

void CopyScreenToRa2md() {
  ShowScreenSizeIn(Ra2mdTarget().widthField, Ra2mdTarget().heightField);
}

void Click按钮3() {
  ShowScreenResolution();
  CopyScreenToRa2();
}

void Click按钮4() {
  ShowScreenResolution();
  CopyScreenToRa2md();
}

// Each flag is tested at its own moment, after the copy before it has ended.
void Click按钮1() {
  ShowScreenResolution();
  if (Ra2ConfigFound == 1) CopyScreenToRa2();
  if (Ra2mdConfigFound == 1) CopyScreenToRa2md();
}
