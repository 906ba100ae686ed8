#include "logic/game_target.h"

#include "profile/profile_file.h"
#include "profile/run_directory.h"

std::int32_t Ra2ConfigFound = 0;
std::int32_t Ra2mdConfigFound = 0;

const GameTarget kGameTargets[2] = {
    {"\\ra2.ini", &Ra2ConfigFound, Unit::分组框1, Unit::编辑框1, Unit::编辑框2, "RA2当前游戏分辨率",
     "未获取到RA2配置文件", "未获取到 RA2 配置文件", "恭喜！RA2 数据写入成功，请开始你的表演！",
     "错误：RA2 数据写入失败"},
    {"\\ra2md.ini", &Ra2mdConfigFound, Unit::分组框2, Unit::编辑框4, Unit::编辑框3,
     "RA2-MD当前游戏分辨率", "未获取到RA2MD配置文件", "未获取到 RA2MD 配置文件",
     "恭喜！RA2MD 数据写入成功，请开始你的表演！", "错误：RA2MD 数据写入失败"},
};

namespace {

TextValue TargetPath(const GameTarget& target) {
  const TextValue directory = GetRunDirectory();
  return ConcatText({directory.Bytes(), target.pathTail});
}

}  // namespace

bool TargetFileFound(const GameTarget& target) {
  return FileExists(TargetPath(target).Bytes()) == 1;
}

TextValue ReadTargetKey(const GameTarget& target, const char* key) {
  return ReadProfileText(TargetPath(target).Bytes(), kVideoSection, key, kNoValue);
}

void WriteTargetKey(const GameTarget& target, const char* key, const char* value) {
  // A write is judged only by reading the value back, so its result is not kept.
  WriteProfileText(TargetPath(target).Bytes(), kVideoSection, key, value ? value : "");
}
