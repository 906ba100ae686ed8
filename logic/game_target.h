// The two game configuration targets, RA2 and RA2MD, as rows of one table
// that every routine walks in order, and the flags of the last detection.
#pragma once

#include <cstdint>

#include "profile/text_value.h"
#include "ui/main_window.h"

// 1 when the last detection found the file, else 0. Readers test the
// variable itself each time; nothing keeps a copy.
extern std::int32_t Ra2ConfigFound;
extern std::int32_t Ra2mdConfigFound;

struct GameTarget {
  const char* pathTail;  // a backslash and the file name
  std::int32_t* foundFlag;
  Unit groupBox;
  Unit widthField;
  Unit heightField;
  const char* captionFound;
  const char* captionNotFoundOnRead;   // ReadGameData's
  const char* captionNotFoundOnWrite;  // BatchSetResolution's, blanks around the name
  const char* messageSucceeded;        // when this target alone was written
  const char* messageFailed;
};

// RA2 first, then RA2MD.
extern const GameTarget kGameTargets[2];
inline const GameTarget& Ra2Target() {
  return kGameTargets[0];
}
inline const GameTarget& Ra2mdTarget() {
  return kGameTargets[1];
}

constexpr char kVideoSection[] = "Video";
constexpr char kScreenWidthKey[] = "ScreenWidth";
constexpr char kScreenHeightKey[] = "ScreenHeight";
constexpr char kAllowHiResModesKey[] = "AllowHiResModes";
constexpr char kNoValue[] = "无";  // the default of every read

// File operations on a target, each building its path afresh from the run
// directory and releasing it afterwards.
bool TargetFileFound(const GameTarget& target);
TextValue ReadTargetKey(const GameTarget& target, const char* key);
void WriteTargetKey(const GameTarget& target, const char* key, const char* value);
