// Showing what the machine holds: the screen size and both configuration files.
#include "logic/game_target.h"
#include "logic/routines.h"
#include "logic/screen_size.h"

namespace {

void ShowKeyIn(const GameTarget& target, const char* key, Unit field) {
  SetText(field, ReadTargetKey(target, key).Bytes());
}

void ReadTarget(const GameTarget& target) {
  if (TargetFileFound(target)) {
    *target.foundFlag = 1;
    SetDisabled(target.groupBox, false);
    SetText(target.groupBox, target.captionFound);
    ShowKeyIn(target, kScreenWidthKey, target.widthField);
    ShowKeyIn(target, kScreenHeightKey, target.heightField);
  } else {
    *target.foundFlag = 0;
    SetDisabled(target.groupBox, true);
    SetText(target.groupBox, target.captionNotFoundOnRead);
    SetText(target.widthField, "");
    SetText(target.heightField, "");
  }
}

}  // namespace

void ShowScreenResolution() {
  ShowScreenSizeIn(Unit::编辑框6, Unit::编辑框5);
}

void ReadGameData() {
  for (const GameTarget& target : kGameTargets) ReadTarget(target);
}

void MainWindowCreated() {
  ShowScreenResolution();
  Ra2ConfigFound = 0;
  Ra2mdConfigFound = 0;
  ReadGameData();
}
