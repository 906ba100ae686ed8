// Writing the game fields into every configuration file found, then
// judging each write only by reading the values back.
#include "logic/game_target.h"
#include "logic/routines.h"
#include "ui/message_box.h"
#include "ui/wait.h"

namespace {

struct Message {
  const char* text;
  const char* caption;
};

constexpr char kWriteSucceeded[] = "配置文件写入成功";
constexpr char kWriteFailed[] = "配置文件写入失败";

constexpr Message kNeitherFound = {"未获取到游戏配置文件，请检查目录是否错误", kWriteFailed};

// The outcome of both targets, indexed [RA2 failed][RA2MD failed].
constexpr Message kCombined[2][2] = {
    {{"恭喜！RA2 和 RA2MD 数据写入成功，请开始你的表演！", kWriteSucceeded},
     {" 仅有 RA2 数据写入成功\r\n RA2MD 数据写入失败", "RA2MD配置文件写入失败"}},
    {{" 仅有 RA2MD 数据写入成功\r\n RA2 数据写入失败", "RA2配置文件写入失败"},
     {"错误：RA2 和 RA2MD数据写入失败", kWriteFailed}},
};

void Show(const Message& message) {
  ShowMessage(message.text, 0, message.caption);
}

// Unlike ReadGameData, this detection leaves the fields as they are.
void DetectForWriting(const GameTarget& target) {
  const bool found = TargetFileFound(target);
  *target.foundFlag = found ? 1 : 0;
  SetDisabled(target.groupBox, !found);
  SetText(target.groupBox, found ? target.captionFound : target.captionNotFoundOnWrite);
}

// The stored value against the field's text at this moment, byte for byte.
bool StoredValueMatches(const GameTarget& target, const char* key, Unit field) {
  const TextValue stored = ReadTargetKey(target, key);
  const TextValue shown = GetText(field);
  return CompareText(shown.Bytes(), stored.Bytes()) == 0;
}

// Writes the target and reads it back; false when the window was closed
// during the wait, after which nothing more is done: a user who closed the
// tool gets no further writes and no message.
bool WriteAndVerify(const GameTarget& target, bool* failed) {
  WriteTargetKey(target, kScreenWidthKey, GetText(target.widthField).Bytes());
  WriteTargetKey(target, kScreenHeightKey, GetText(target.heightField).Bytes());
  WriteTargetKey(target, kAllowHiResModesKey, "yes");
  WaitProcessingEvents(100);
  if (!MainWindowExists()) return false;
  // The height is read back only when the width matched.
  *failed = !(StoredValueMatches(target, kScreenWidthKey, target.widthField) &&
              StoredValueMatches(target, kScreenHeightKey, target.heightField));
  return true;
}

}  // namespace

void BatchSetResolution() {
  for (const GameTarget& target : kGameTargets) DetectForWriting(target);
  if (Ra2ConfigFound == 0 && Ra2mdConfigFound == 0) {
    Show(kNeitherFound);
    return;
  }
  // Flags are tested afresh at each point: a click handled during a wait may change them.
  bool failed[2] = {false, false};
  for (int i = 0; i < 2; ++i) {
    const GameTarget& target = kGameTargets[i];
    const GameTarget& other = kGameTargets[1 - i];
    if (*target.foundFlag != 1) continue;
    if (!WriteAndVerify(target, &failed[i])) return;
    if (*other.foundFlag != 1) {
      Show({failed[i] ? target.messageFailed : target.messageSucceeded,
            failed[i] ? kWriteFailed : kWriteSucceeded});
    }
  }
  if (Ra2ConfigFound == 1 && Ra2mdConfigFound == 1) Show(kCombined[failed[0]][failed[1]]);
}
