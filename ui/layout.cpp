#include "ui/layout.h"

#include <cstring>

const WindowLayout kWindowLayout = {"Relvanta V2.2 Tobrisk", 529, 234};

// clang-format off
const ControlLayout kControls[kControlCount] = {
  {Unit::按钮5,   Kind::Button,   Unit::MainWindow, 310, 128,  72, 56, "读游戏数据",          true},
  {Unit::分组框3, Kind::GroupBox, Unit::MainWindow, 302,   8, 216, 96, "电脑屏幕分辨率",      false},
  {Unit::标签5,   Kind::Label,    Unit::分组框3,     16,  57,  60, 24, "屏幕高：",            false},
  {Unit::编辑框5, Kind::EditBox,  Unit::分组框3,     80,  55, 128, 32, "",                    true},
  {Unit::编辑框6, Kind::EditBox,  Unit::分组框3,     80,  21, 128, 32, "",                    true},
  {Unit::标签6,   Kind::Label,    Unit::分组框3,     16,  23,  60, 24, "屏幕宽：",            false},
  {Unit::分组框2, Kind::GroupBox, Unit::MainWindow,   8, 105, 288, 96, "RA2-MD当前游戏分辨率", false},
  {Unit::按钮4,   Kind::Button,   Unit::分组框2,    216,  24,  64, 64, "取屏幕分辨率到数据区", true},
  {Unit::标签3,   Kind::Label,    Unit::分组框2,     16,  57,  60, 24, "屏幕高：",            false},
  {Unit::编辑框3, Kind::EditBox,  Unit::分组框2,     80,  55, 128, 32, "",                    true},
  {Unit::编辑框4, Kind::EditBox,  Unit::分组框2,     80,  21, 128, 32, "",                    true},
  {Unit::标签4,   Kind::Label,    Unit::分组框2,     16,  23,  60, 24, "屏幕宽：",            false},
  {Unit::按钮3,   Kind::Button,   Unit::分组框1,    216,  24,  64, 64, "取屏幕分辨率到数据区", true},
  {Unit::标签2,   Kind::Label,    Unit::分组框1,     16,  57,  60, 24, "屏幕高：",            false},
  {Unit::编辑框2, Kind::EditBox,  Unit::分组框1,     80,  55, 128, 32, "",                    true},
  {Unit::编辑框1, Kind::EditBox,  Unit::分组框1,     80,  21, 128, 32, "",                    true},
  {Unit::标签1,   Kind::Label,    Unit::分组框1,     16,  23,  60, 24, "屏幕宽：",            false},
  {Unit::按钮2,   Kind::Button,   Unit::MainWindow, 394, 156, 120, 35, "批量设置分辨率",      true},
  {Unit::按钮1,   Kind::Button,   Unit::MainWindow, 394, 117, 120, 35, "取幕分辨率到数据区",  true},
  {Unit::分组框1, Kind::GroupBox, Unit::MainWindow,   8,   8, 288, 96, "RA2当前游戏分辨率",   false},
};
// clang-format on

const ControlLayout& LayoutOf(Unit unit) {
  return kControls[static_cast<int>(unit) - 1];
}

namespace {

constexpr COLORREF kEditText = RGB(0, 128, 0);
constexpr COLORREF kEditBackground = RGB(236, 236, 236);
constexpr COLORREF kLabelText = RGB(0, 0, 0);

// Character heights (em size) of each kind's font; buttons use the stock GUI font.
constexpr int kGroupBoxFontHeight = 14;
constexpr int kLabelFontHeight = 16;
constexpr int kEditFontHeight = 20;

// Faces tried in turn when 微软雅黑 is missing; each can show Chinese.
const char* const kFaceCandidates[] = {
    "微软雅黑",
    "Microsoft YaHei",
    "WenQuanYi Micro Hei",
    "WenQuanYi Zen Hei",
    "Noto Sans CJK SC",
    "Source Han Sans SC",
    "SimHei",
    "黑体",
    "SimSun",
    "宋体",
};

char chosenFace[LF_FACESIZE];
HFONT groupBoxFont, labelFont, editFont;
HBRUSH editBrush;

int CALLBACK NoteFamily(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;  // one match is enough
}

bool FamilyInstalled(HDC dc, const char* face) {
  LOGFONTA wanted = {};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(wanted.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  EnumFontFamiliesExA(dc, &wanted, NoteFamily, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

void ChooseFace() {
  const char* face = kFaceCandidates[0];
  if (HDC dc = GetDC(nullptr)) {
    for (const char* candidate : kFaceCandidates) {
      if (FamilyInstalled(dc, candidate)) {
        face = candidate;
        break;
      }
    }
    ReleaseDC(nullptr, dc);
  }
  lstrcpynA(chosenFace, face, LF_FACESIZE);
}

HFONT MakeFont(int characterHeight) {
  LOGFONTA font = {};
  font.lfHeight = -characterHeight;  // negative: the em size, not the cell
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(font.lfFaceName, chosenFace, LF_FACESIZE);
  return CreateFontIndirectA(&font);
}

}  // namespace

bool LoadLayout() {
  ChooseFace();
  groupBoxFont = MakeFont(kGroupBoxFontHeight);
  labelFont = MakeFont(kLabelFontHeight);
  editFont = MakeFont(kEditFontHeight);
  editBrush = CreateSolidBrush(kEditBackground);
  if (groupBoxFont && labelFont && editFont && editBrush) return true;
  UnloadLayout();
  return false;
}

void UnloadLayout() {
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(groupBoxFont), static_cast<HGDIOBJ>(labelFont),
                         static_cast<HGDIOBJ>(editFont), static_cast<HGDIOBJ>(editBrush)}) {
    if (object) DeleteObject(object);
  }
  groupBoxFont = labelFont = editFont = nullptr;
  editBrush = nullptr;
}

const char* ChosenFaceName() {
  return chosenFace;
}

HFONT FontOf(Kind kind) {
  switch (kind) {
    case Kind::GroupBox:
      return groupBoxFont;
    case Kind::Label:
      return labelFont;
    case Kind::EditBox:
      return editFont;
    case Kind::Button:
      break;
  }
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

DWORD StyleOf(Kind kind) {
  switch (kind) {
    case Kind::GroupBox:
      return BS_GROUPBOX | WS_CLIPSIBLINGS;
    case Kind::Label:
      return SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX;
    case Kind::EditBox:
      return ES_CENTER | ES_AUTOHSCROLL | WS_BORDER;
    case Kind::Button:
      break;
  }
  return BS_PUSHBUTTON | BS_MULTILINE | BS_CENTER | BS_VCENTER;
}

HBRUSH ColourControl(HWND control, HDC dc, bool isEdit) {
  if (isEdit) {
    SetTextColor(dc, kEditText);
    SetBkColor(dc, kEditBackground);
    return editBrush;
  }
  // Labels and group box captions: black on the button face; a disabled
  // group box shows its state in the platform's grey.
  SetTextColor(dc, IsWindowEnabled(control) ? kLabelText : GetSysColor(COLOR_GRAYTEXT));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}
