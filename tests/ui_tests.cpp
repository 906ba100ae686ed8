// The window shell on a real MainWindow: layout, fonts, colours, edit box
// centring, keys and focus, clicks, texts, the wait, message boxes, icons
// and the window's life. Painted looks are read back from the screen.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/event_loop.h"
#include "logic/screen_size.h"
#include "tests/test_windows.h"
#include "tests/window_fixture.h"
#include "ui/edit_box.h"
#include "ui/layout.h"
#include "ui/message_box.h"
#include "ui/screen.h"
#include "ui/wait.h"
#include "ui/window_handles.h"

namespace {

// --- Helpers ----------------------------------------------------------------

std::string Str(const TextValue& text) {
  return text.IsAbsent() ? "<absent>" : text.Bytes();
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TextOf(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

LONG StyleOf(HWND window) {
  return GetWindowLongA(window, GWL_STYLE);
}

// A window's rectangle in its parent's client area.
RECT RectInParent(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// Pumps until `condition` holds, for at most `milliseconds`; gives its last answer.
template <class Condition>
bool Eventually(Condition condition, int milliseconds = 3000) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  for (;;) {
    PumpMessages();
    if (condition()) return true;
    if (GetTickCount64() >= end) return false;
    Sleep(20);
  }
}

// Screen pixels of a rectangle, as the viewer sees them.
class Capture {
 public:
  explicit Capture(const RECT& screen) : origin_{screen.left, screen.top} {
    width_ = screen.right - screen.left;
    height_ = screen.bottom - screen.top;
    pixels_.assign(static_cast<size_t>(width_) * height_, 0);
    HDC screenDc = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screenDc);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr) {
      HGDIOBJ previous = SelectObject(memory, bitmap);
      if (BitBlt(memory, 0, 0, width_, height_, screenDc, screen.left, screen.top, SRCCOPY)) {
        GdiFlush();
        std::memcpy(pixels_.data(), bits, pixels_.size() * 4);
      }
      SelectObject(memory, previous);
      DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screenDc);
  }
  // The colour at a screen point inside the captured rectangle.
  COLORREF At(int x, int y) const {
    const DWORD bgr = pixels_[static_cast<size_t>(y - origin_.y) * width_ + (x - origin_.x)];
    return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
  }

 private:
  POINT origin_;
  int width_, height_;
  std::vector<DWORD> pixels_;
};

RECT ScreenRectOf(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return rect;
}

std::string Hex(COLORREF colour) {
  char text[16];
  std::snprintf(text, sizeof text, "(%d,%d,%d)", GetRValue(colour), GetGValue(colour),
                GetBValue(colour));
  return text;
}

int Darkest(COLORREF colour) {
  return std::max({GetRValue(colour), GetGValue(colour), GetBValue(colour)});
}

// Height of a text in a font, measured here rather than by the shell.
SIZE TextExtent(HFONT font, const char* text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, font);
  SIZE size = {};
  GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);
  return size;
}

HFONT FontOfWindow(HWND window) {
  return reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
}

// A plain top-level window of the test, to take the activation away.
HWND CreateOtherWindow(bool visible) {
  static const char kClass[] = "UiTestsOtherWindow";
  WNDCLASSA windowClass = {};
  if (!GetClassInfoA(GetModuleHandleA(nullptr), kClass, &windowClass)) {
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClass;
    RegisterClassA(&windowClass);
  }
  return CreateWindowExA(0, kClass, "other", WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 20,
                         20, 200, 120, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// --- Layout -----------------------------------------------------------------

struct ExpectedControl {
  Unit unit;
  Kind kind;
  Unit container;
  int left, top, width, height;
  const char* text;
};

// clang-format off
const ExpectedControl kExpected[] = {
  {Unit::按钮5,   Kind::Button,   Unit::MainWindow, 310, 128,  72, 56, "读游戏数据"},
  {Unit::分组框3, Kind::GroupBox, Unit::MainWindow, 302,   8, 216, 96, "电脑屏幕分辨率"},
  {Unit::标签5,   Kind::Label,    Unit::分组框3,     16,  57,  60, 24, "屏幕高："},
  {Unit::编辑框5, Kind::EditBox,  Unit::分组框3,     80,  55, 128, 32, ""},
  {Unit::编辑框6, Kind::EditBox,  Unit::分组框3,     80,  21, 128, 32, ""},
  {Unit::标签6,   Kind::Label,    Unit::分组框3,     16,  23,  60, 24, "屏幕宽："},
  {Unit::分组框2, Kind::GroupBox, Unit::MainWindow,   8, 105, 288, 96, "RA2-MD当前游戏分辨率"},
  {Unit::按钮4,   Kind::Button,   Unit::分组框2,    216,  24,  64, 64, "取屏幕分辨率到数据区"},
  {Unit::标签3,   Kind::Label,    Unit::分组框2,     16,  57,  60, 24, "屏幕高："},
  {Unit::编辑框3, Kind::EditBox,  Unit::分组框2,     80,  55, 128, 32, ""},
  {Unit::编辑框4, Kind::EditBox,  Unit::分组框2,     80,  21, 128, 32, ""},
  {Unit::标签4,   Kind::Label,    Unit::分组框2,     16,  23,  60, 24, "屏幕宽："},
  {Unit::按钮3,   Kind::Button,   Unit::分组框1,    216,  24,  64, 64, "取屏幕分辨率到数据区"},
  {Unit::标签2,   Kind::Label,    Unit::分组框1,     16,  57,  60, 24, "屏幕高："},
  {Unit::编辑框2, Kind::EditBox,  Unit::分组框1,     80,  55, 128, 32, ""},
  {Unit::编辑框1, Kind::EditBox,  Unit::分组框1,     80,  21, 128, 32, ""},
  {Unit::标签1,   Kind::Label,    Unit::分组框1,     16,  23,  60, 24, "屏幕宽："},
  {Unit::按钮2,   Kind::Button,   Unit::MainWindow, 394, 156, 120, 35, "批量设置分辨率"},
  {Unit::按钮1,   Kind::Button,   Unit::MainWindow, 394, 117, 120, 35, "取幕分辨率到数据区"},
  {Unit::分组框1, Kind::GroupBox, Unit::MainWindow,   8,   8, 288, 96, "RA2当前游戏分辨率"},
};
// clang-format on

const Unit kEditBoxes[] = {Unit::编辑框1, Unit::编辑框2, Unit::编辑框3,
                           Unit::编辑框4, Unit::编辑框5, Unit::编辑框6};
const Unit kGroupBoxes[] = {Unit::分组框1, Unit::分组框2, Unit::分组框3};

std::string NameOf(Unit unit) {
  return "unit " + std::to_string(static_cast<int>(unit));
}

using LayoutTest = MainWindowTest;

TEST_F(LayoutTest, WindowHasItsSizeCentredPositionAndFrame) {
  HWND main = WindowOf(Unit::MainWindow);
  ASSERT_NE(main, nullptr);
  RECT outer;
  GetWindowRect(main, &outer);
  EXPECT_EQ(outer.right - outer.left, 529);
  EXPECT_EQ(outer.bottom - outer.top, 234);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN),
            screenHeight = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(outer.left, (screenWidth - 529) / 2);
  EXPECT_EQ(outer.top, (screenHeight - 234) / 2);
  if (screenWidth == 1600 && screenHeight == 900) {
    EXPECT_EQ(outer.left, 535);
    EXPECT_EQ(outer.top, 333);
  }
  EXPECT_EQ(TextOf(main), "Relvanta V2.2 Tobrisk");

  const LONG style = StyleOf(main);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_POPUP);
  EXPECT_EQ(GetMenu(main), nullptr);
  EXPECT_TRUE(GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  EXPECT_EQ(GetWindow(main, GW_OWNER), nullptr);
  EXPECT_EQ(GetClassLongPtrA(main, GCLP_HBRBACKGROUND), static_cast<ULONG_PTR>(COLOR_BTNFACE + 1));
}

TEST_F(LayoutTest, EveryControlSitsAtItsRectangleInItsContainerWithItsText) {
  for (const ExpectedControl& control : kExpected) {
    SCOPED_TRACE(NameOf(control.unit));
    HWND window = WindowOf(control.unit);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetParent(window), WindowOf(control.container));
    EXPECT_TRUE(StyleOf(window) & WS_CHILD);
    EXPECT_TRUE(StyleOf(window) & WS_VISIBLE);
    EXPECT_EQ(GetDlgCtrlID(window), ControlId(control.unit));
    const RECT rect = RectInParent(window);
    EXPECT_EQ(rect.left, control.left);
    EXPECT_EQ(rect.top, control.top);
    EXPECT_EQ(rect.right - rect.left, control.width);
    EXPECT_EQ(rect.bottom - rect.top, control.height);
    EXPECT_EQ(TextOf(window), control.text);
    const char* expectedClass = control.kind == Kind::Label     ? "Static"
                                : control.kind == Kind::EditBox ? "Edit"
                                                                : "Button";
    EXPECT_STRCASEEQ(ClassOf(window).c_str(), expectedClass);
    const bool groupBox = (StyleOf(window) & BS_TYPEMASK) == BS_GROUPBOX;
    if (control.kind == Kind::GroupBox || control.kind == Kind::Button) {
      EXPECT_EQ(groupBox, control.kind == Kind::GroupBox);
    }
  }
}

TEST_F(LayoutTest, WithinEachContainerASmallerNumberLiesAbove) {
  for (Unit container : {Unit::MainWindow, Unit::分组框1, Unit::分组框2, Unit::分组框3}) {
    SCOPED_TRACE(NameOf(container));
    std::vector<int> expected, actual;
    for (const ExpectedControl& control : kExpected) {
      if (control.container == container) expected.push_back(static_cast<int>(control.unit));
    }
    for (HWND child = GetWindow(WindowOf(container), GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
      Unit unit;
      actual.push_back(UnitOfWindow(child, &unit) ? static_cast<int>(unit) : -1);
    }
    EXPECT_EQ(actual, expected);  // top of the stack first, as the table lists them
  }
}

TEST_F(LayoutTest, OnlyEditBoxesAndButtonsAreTabStops) {
  for (const ExpectedControl& control : kExpected) {
    SCOPED_TRACE(NameOf(control.unit));
    const bool stop = control.kind == Kind::EditBox || control.kind == Kind::Button;
    EXPECT_EQ((StyleOf(WindowOf(control.unit)) & WS_TABSTOP) != 0, stop);
  }
}

// --- Fonts ------------------------------------------------------------------

using FontTest = MainWindowTest;

TEST_F(FontTest, EachKindCarriesItsFont) {
  for (const ExpectedControl& control : kExpected) {
    SCOPED_TRACE(NameOf(control.unit));
    HFONT font = FontOfWindow(WindowOf(control.unit));
    ASSERT_NE(font, nullptr);
    if (control.kind == Kind::Button) {
      EXPECT_EQ(font, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
      continue;
    }
    LOGFONTA logFont = {};
    ASSERT_EQ(GetObjectA(font, sizeof logFont, &logFont), static_cast<int>(sizeof logFont));
    const int height = control.kind == Kind::GroupBox ? -14
                       : control.kind == Kind::Label  ? -16
                                                      : -20;
    EXPECT_EQ(logFont.lfHeight, height);
    EXPECT_STREQ(logFont.lfFaceName, ChosenFaceName());
    EXPECT_EQ(logFont.lfWeight, FW_NORMAL);
    EXPECT_FALSE(logFont.lfItalic);
    EXPECT_FALSE(logFont.lfUnderline);
    EXPECT_FALSE(logFont.lfStrikeOut);
    EXPECT_EQ(logFont.lfCharSet, DEFAULT_CHARSET);
  }
}

struct FamilySearch {
  const char* face;
  bool found = false;
};

int CALLBACK MatchFamily(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM context) {
  auto* search = reinterpret_cast<FamilySearch*>(context);
  if (lstrcmpiA(font->lfFaceName, search->face) == 0) search->found = true;
  return 1;
}

bool FamilyInstalled(const char* face, BYTE charSet) {
  HDC dc = GetDC(nullptr);
  LOGFONTA wanted = {};
  wanted.lfCharSet = charSet;
  lstrcpynA(wanted.lfFaceName, face, LF_FACESIZE);
  FamilySearch search{face};
  EnumFontFamiliesExA(dc, &wanted, MatchFamily, reinterpret_cast<LPARAM>(&search), 0);
  ReleaseDC(nullptr, dc);
  return search.found;
}

TEST_F(FontTest, ChosenFaceIsAnInstalledFamilyThatShowsChinese) {
  const char* face = ChosenFaceName();
  ASSERT_NE(face[0], '\0');
  EXPECT_TRUE(FamilyInstalled(face, DEFAULT_CHARSET)) << face;
  // A family offered for the GB2312 character set draws Chinese, not boxes.
  EXPECT_TRUE(FamilyInstalled(face, GB2312_CHARSET)) << face;
  if (FamilyInstalled("微软雅黑", DEFAULT_CHARSET)) {
    EXPECT_STREQ(face, "微软雅黑");
  }

  // The fonts made from it are realized in that face with a Chinese character set.
  HDC dc = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, FontOf(Kind::EditBox));
  char realized[LF_FACESIZE] = {};
  GetTextFaceA(dc, sizeof realized, realized);
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);
  EXPECT_STRCASEEQ(realized, face);
  EXPECT_EQ(metrics.tmCharSet, GB2312_CHARSET);
}

// --- Kind settings ----------------------------------------------------------

using KindTest = MainWindowTest;

TEST_F(KindTest, LabelsEditBoxesAndButtonsHaveTheirStyles) {
  struct Rule {
    Kind kind;
    LONG typeMask, type;  // the kind's type field
    LONG required, forbidden;
  };
  const Rule rules[] = {
      {Kind::Label, SS_TYPEMASK, SS_LEFT, SS_CENTERIMAGE, SS_EDITCONTROL | SS_ENDELLIPSIS},
      {Kind::EditBox, 0, 0, ES_CENTER | ES_AUTOHSCROLL | WS_BORDER,
       ES_MULTILINE | ES_NUMBER | ES_UPPERCASE | ES_LOWERCASE | ES_PASSWORD | ES_READONLY |
           ES_NOHIDESEL | WS_HSCROLL | WS_VSCROLL | ES_RIGHT},
      {Kind::Button, BS_TYPEMASK, BS_PUSHBUTTON, BS_MULTILINE, 0},
  };
  int checked = 0;
  for (const ExpectedControl& control : kExpected) {
    for (const Rule& rule : rules) {
      if (rule.kind != control.kind) continue;
      SCOPED_TRACE(NameOf(control.unit));
      const LONG style = StyleOf(WindowOf(control.unit));
      EXPECT_EQ(style & rule.typeMask, rule.type);
      EXPECT_EQ(style & rule.required, rule.required);
      EXPECT_EQ(style & rule.forbidden, 0);
      ++checked;
    }
  }
  EXPECT_EQ(checked, 17);  // every control but the group boxes
}

TEST_F(KindTest, EditBoxesTakeThePlatformsLargestLimitAndKeepTypedTextsWiderThanTheBox) {
  // Typed beyond the visible width: without horizontal scrolling the box would refuse.
  const std::string typed(60, '9');
  for (Unit unit : kEditBoxes) {
    SCOPED_TRACE(NameOf(unit));
    HWND edit = WindowOf(unit);
    EXPECT_EQ(static_cast<DWORD>(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0)), 0x7FFFFFFEu);
    for (char c : typed) SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(c), 1);
    EXPECT_EQ(Text(unit), typed);
  }
}

// --- Colours ----------------------------------------------------------------

COLORREF BrushColour(HBRUSH brush) {
  LOGBRUSH logBrush = {};
  GetObjectA(brush, sizeof logBrush, &logBrush);
  return logBrush.lbColor;
}

struct CtlColour {
  COLORREF text, back, brush;
};

// Asks the control's real parent for its colours, as the control itself does.
CtlColour AskColours(HWND control, UINT message) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessageA(GetParent(control), message,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(control)));
  CtlColour colours = {GetTextColor(dc), GetBkColor(dc), brush ? BrushColour(brush) : CLR_INVALID};
  DeleteDC(dc);
  return colours;
}

using ColourTest = MainWindowTest;

TEST_F(ColourTest, EditBoxesAreGreenOnLightGreyAndLabelsBlackOnTheButtonFace) {
  for (const ExpectedControl& control : kExpected) {
    SCOPED_TRACE(NameOf(control.unit));
    if (control.kind == Kind::EditBox) {
      const CtlColour colours = AskColours(WindowOf(control.unit), WM_CTLCOLOREDIT);
      EXPECT_EQ(colours.text, RGB(0, 128, 0));
      EXPECT_EQ(colours.back, RGB(236, 236, 236));
      EXPECT_EQ(colours.brush, RGB(236, 236, 236));
    } else if (control.kind == Kind::Label) {
      const CtlColour colours = AskColours(WindowOf(control.unit), WM_CTLCOLORSTATIC);
      EXPECT_EQ(colours.text, RGB(0, 0, 0));
      EXPECT_EQ(colours.back, GetSysColor(COLOR_BTNFACE));
      EXPECT_EQ(colours.brush, GetSysColor(COLOR_BTNFACE));
    }
  }
}

TEST_F(ColourTest, ControlsInsideADisabledGroupBoxKeepTheirColours) {
  SetDisabled(Unit::分组框1, true);
  const CtlColour label = AskColours(WindowOf(Unit::标签1), WM_CTLCOLORSTATIC);
  EXPECT_EQ(label.text, RGB(0, 0, 0));
  const CtlColour edit = AskColours(WindowOf(Unit::编辑框1), WM_CTLCOLOREDIT);
  EXPECT_EQ(edit.text, RGB(0, 128, 0));
  EXPECT_EQ(edit.back, RGB(236, 236, 236));
}

// --- Shown window -----------------------------------------------------------

// The window shown and active on the private screen, no modifier key held.
class ShownWindowTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    if (HasFatalFailure()) return;
    ReleaseModifiers();
    ShowMainWindow();
    main_ = WindowOf(Unit::MainWindow);
    // Asked again while waiting: another program on the same Wine server may hold the foreground.
    ASSERT_TRUE(Eventually([&] {
      if (GetActiveWindow() == main_) return true;
      SetForegroundWindow(main_);
      return false;
    })) << "window not active";
  }
  void TearDown() override {
    ReleaseModifiers();
    if (other_) DestroyWindow(other_);
    MainWindowTest::TearDown();
  }

  static void ReleaseModifiers() {
    BYTE state[256];
    GetKeyboardState(state);
    for (int key : {VK_SHIFT, VK_LSHIFT, VK_RSHIFT, VK_CONTROL, VK_LCONTROL, VK_RCONTROL, VK_MENU,
                    VK_LMENU, VK_RMENU}) {
      state[key] = 0;
    }
    SetKeyboardState(state);
  }

  // Repaints the whole window now and lets the screen catch up.
  void Repaint() {
    RedrawWindow(main_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Eventually([] { return GetQueueStatus(QS_PAINT) == 0; });
    Sleep(100);
    PumpMessages();
  }

  HWND main_ = nullptr;
  HWND other_ = nullptr;
};

// --- Painted colours --------------------------------------------------------

using PaintTest = ShownWindowTest;

TEST_F(PaintTest, EditBoxesAreLightGreyInsideAOnePixelFrameRoundTheWholeBox) {
  SetText(Unit::编辑框1, "1600");
  Repaint();
  for (Unit unit : kEditBoxes) {
    SCOPED_TRACE(NameOf(unit));
    HWND edit = WindowOf(unit);
    const RECT box = ScreenRectOf(edit);
    RECT line;
    GetClientRect(edit, &line);
    MapWindowPoints(edit, nullptr, reinterpret_cast<POINT*>(&line), 2);
    ASSERT_GT(line.top, box.top + 1);
    ASSERT_LT(line.bottom, box.bottom - 1);
    const Capture screen(box);
    const COLORREF inside = RGB(236, 236, 236);
    const COLORREF frame = screen.At(box.left, (box.top + box.bottom) / 2);
    // The frame runs round the box's edge, in one colour that is not the inside.
    EXPECT_NE(frame, inside) << Hex(frame);
    const int midX = (box.left + box.right) / 2;
    for (POINT edge :
         {POINT{midX, box.top}, POINT{midX, box.bottom - 1}, POINT{box.left + 4, box.top},
          POINT{box.right - 1, (box.top + box.bottom) / 2}}) {
      EXPECT_EQ(screen.At(edge.x, edge.y), frame) << edge.x << "," << edge.y;
    }
    // Above and below the text line, and on the line's own edge rows clear
    // of the text, only the box's background shows.
    const int clearX = box.left + 4;
    for (LONG y :
         {box.top + 1, line.top - 1, line.top, line.bottom - 1, line.bottom, box.bottom - 2}) {
      EXPECT_EQ(screen.At(clearX, y), inside) << "row " << y << " " << Hex(screen.At(clearX, y));
    }
  }
  // The text itself is green.
  {
    HWND edit = WindowOf(Unit::编辑框1);
    RECT line;
    GetClientRect(edit, &line);
    MapWindowPoints(edit, nullptr, reinterpret_cast<POINT*>(&line), 2);
    const Capture screen(line);
    int green = 0;
    for (int y = line.top; y < line.bottom; ++y) {
      for (int x = line.left; x < line.right; ++x) {
        const COLORREF c = screen.At(x, y);
        if (GetGValue(c) > GetRValue(c) + 60 && GetGValue(c) > GetBValue(c) + 60) ++green;
      }
    }
    EXPECT_GT(green, 20) << "no green text drawn";
  }
}

struct CaptionInk {
  int darkest;     // the highest channel of the darkest pixel: low means black
  int drawnCount;  // pixels that differ from the button face
};

// The ink of a group box's caption, read from the screen over the caption's text.
CaptionInk CaptionInkOf(Unit groupBox) {
  HWND box = WindowOf(groupBox);
  const SIZE text = TextExtent(FontOfWindow(box), TextOf(box).c_str());
  RECT client;
  GetClientRect(box, &client);
  MapWindowPoints(box, nullptr, reinterpret_cast<POINT*>(&client), 2);
  // The caption starts a few pixels in; the frame line crosses its row outside the text.
  RECT caption = {client.left + 12, client.top, client.left + 6 + text.cx - 4,
                  client.top + text.cy};
  const Capture screen(caption);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  CaptionInk ink = {255, 0};
  for (int y = caption.top; y < caption.bottom; ++y) {
    for (int x = caption.left; x < caption.right; ++x) {
      const COLORREF c = screen.At(x, y);
      ink.darkest = std::min(ink.darkest, Darkest(c));
      if (c != face) ++ink.drawnCount;
    }
  }
  return ink;
}

TEST_F(PaintTest, ADisabledGroupBoxDrawsItsCaptionGreyWhileItsInsideKeepsItsColours) {
  SetText(Unit::编辑框1, "1600");
  Repaint();
  const CaptionInk enabled = CaptionInkOf(Unit::分组框1);
  EXPECT_LT(enabled.darkest, 80) << "an enabled caption is black";
  EXPECT_GT(enabled.drawnCount, 30);

  SetDisabled(Unit::分组框1, true);
  Repaint();
  const CaptionInk disabled = CaptionInkOf(Unit::分组框1);
  EXPECT_GT(disabled.darkest, 100) << "a disabled caption must not be black";
  EXPECT_GT(disabled.drawnCount, 30) << "the disabled caption is still drawn";
  const CaptionInk neighbour = CaptionInkOf(Unit::分组框2);
  EXPECT_LT(neighbour.darkest, 80) << "the enabled group box stays black";

  // The edit box inside keeps its background and green text.
  HWND edit = WindowOf(Unit::编辑框1);
  const RECT box = ScreenRectOf(edit);
  const Capture screen(box);
  EXPECT_EQ(screen.At(box.left + 4, box.top + 2), RGB(236, 236, 236));
  int green = 0;
  for (int y = box.top; y < box.bottom; ++y) {
    for (int x = box.left; x < box.right; ++x) {
      const COLORREF c = screen.At(x, y);
      if (GetGValue(c) > GetRValue(c) + 60 && GetGValue(c) > GetBValue(c) + 60) ++green;
    }
  }
  EXPECT_GT(green, 20);
  // Its label stays black.
  const RECT label = ScreenRectOf(WindowOf(Unit::标签1));
  const Capture labelPixels(label);
  int darkest = 255;
  for (int y = label.top; y < label.bottom; ++y) {
    for (int x = label.left; x < label.right; ++x) {
      darkest = std::min(darkest, Darkest(labelPixels.At(x, y)));
    }
  }
  EXPECT_LT(darkest, 80);

  SetDisabled(Unit::分组框1, false);
  Repaint();
  EXPECT_LT(CaptionInkOf(Unit::分组框1).darkest, 80) << "enabled again, black again";
}

// --- Edit box centring ------------------------------------------------------

using EditCentringTest = MainWindowTest;

// The editing area is one line of "W" high, centred in the box inside its frame.
void ExpectCentredLine(HWND edit) {
  RECT box, client;
  GetWindowRect(edit, &box);
  GetClientRect(edit, &client);
  POINT origin = {0, 0};
  ClientToScreen(edit, &origin);
  const int line = TextExtent(FontOfWindow(edit), "W").cy;
  const int frame = GetSystemMetrics(SM_CYBORDER);
  const int inside = box.bottom - box.top - 2 * frame;
  EXPECT_EQ(client.bottom - client.top, line);
  EXPECT_EQ(origin.y - box.top, frame + (inside - line) / 2);
  EXPECT_EQ(client.right - client.left, box.right - box.left - 2 * GetSystemMetrics(SM_CXBORDER));
}

TEST_F(EditCentringTest, EachEditingAreaIsOneLineCentredInTheBox) {
  for (Unit unit : kEditBoxes) {
    SCOPED_TRACE(NameOf(unit));
    ExpectCentredLine(WindowOf(unit));
  }
}

HFONT MakeFaceFont(int height) {
  LOGFONTA font = {};
  font.lfHeight = -height;
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(font.lfFaceName, ChosenFaceName(), LF_FACESIZE);
  return CreateFontIndirectA(&font);
}

int LeastHeight(HFONT font) {
  return TextExtent(font, "吴").cy + 2 * GetSystemMetrics(SM_CYEDGE);
}

TEST_F(EditCentringTest, ALargerFontGrowsTheBoxDownwardAndASmallerOneNeverShrinksIt) {
  struct Case {
    int fontHeight;
    bool grows;
  };
  const Case cases[] = {{40, true}, {10, false}, {20, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE("font " + std::to_string(c.fontHeight));
    HWND edit = WindowOf(Unit::编辑框1);
    HFONT font = MakeFaceFont(c.fontHeight);
    ASSERT_NE(font, nullptr);
    const RECT before = RectInParent(edit);
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    const RECT after = RectInParent(edit);
    const int beforeHeight = before.bottom - before.top;
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    if (c.grows) {
      ASSERT_GT(LeastHeight(font), beforeHeight);
      EXPECT_EQ(after.bottom - after.top, LeastHeight(font));
    } else {
      EXPECT_EQ(after.bottom - after.top, beforeHeight);
    }
    ExpectCentredLine(edit);
    // Back to the box's own font before the font goes.
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(Kind::EditBox)), FALSE);
    DeleteObject(font);
  }
}

TEST_F(EditCentringTest, ABoxCreatedShorterThanItsFontNeedsGrowsToTheLeastHeight) {
  HWND parent = WindowOf(Unit::MainWindow);
  HWND edit = CreateWindowExA(0, "Edit", nullptr, WS_CHILD | ES_CENTER | ES_AUTOHSCROLL, 30, 40, 90,
                              10, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(edit, nullptr);
  DressEditBox(edit, FontOf(Kind::EditBox), true);
  const RECT rect = RectInParent(edit);
  EXPECT_EQ(rect.left, 30);
  EXPECT_EQ(rect.top, 40);
  EXPECT_EQ(rect.right - rect.left, 90);
  EXPECT_EQ(rect.bottom - rect.top, LeastHeight(FontOf(Kind::EditBox)));
  EXPECT_TRUE(StyleOf(edit) & WS_BORDER);
  ExpectCentredLine(edit);
  DestroyWindow(edit);
}

// --- Keyboard ---------------------------------------------------------------

// Modifier keys held for this thread as GetKeyState reports them.
class Held {
 public:
  explicit Held(std::initializer_list<int> keys) {
    GetKeyboardState(saved_);
    BYTE state[256];
    std::memcpy(state, saved_, sizeof state);
    for (int key : keys) state[key] |= 0x80;
    SetKeyboardState(state);
  }
  ~Held() { SetKeyboardState(saved_); }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;

 private:
  BYTE saved_[256];
};

// A key message as the queue would give it to `target`; true when consumed.
bool Press(HWND target, UINT key, UINT message = WM_KEYDOWN) {
  MSG queued = {};
  queued.hwnd = target;
  queued.message = message;
  queued.wParam = key;
  queued.lParam = 1 | (MapVirtualKeyA(key, MAPVK_VK_TO_VSC) << 16) |
                  (message == WM_SYSKEYDOWN ? (1u << 29) : 0);
  queued.time = GetTickCount();
  return PreTranslateKeys(queued);
}

bool PressOnFocus(UINT key, UINT message = WM_KEYDOWN) {
  return Press(GetFocus(), key, message);
}

std::string FocusName() {
  Unit unit;
  HWND focus = GetFocus();
  if (!UnitOfWindow(focus, &unit)) return focus ? "<other window>" : "<none>";
  return NameOf(unit);
}

const Unit kTabOrder[] = {Unit::按钮1,   Unit::按钮2,   Unit::编辑框1, Unit::编辑框2,
                          Unit::按钮3,   Unit::编辑框4, Unit::编辑框3, Unit::按钮4,
                          Unit::编辑框6, Unit::编辑框5, Unit::按钮5};

using KeyTest = ShownWindowTest;

TEST_F(KeyTest, FirstFocusAfterShowingIsOnButton1) {
  EXPECT_EQ(GetFocus(), WindowOf(Unit::按钮1)) << FocusName();
}

TEST_F(KeyTest, TabAndShiftTabWalkTheOrderAndWrapBothWays) {
  ASSERT_EQ(GetFocus(), WindowOf(Unit::按钮1));
  const int count = static_cast<int>(std::size(kTabOrder));
  for (int step = 1; step <= count; ++step) {
    ASSERT_TRUE(PressOnFocus(VK_TAB));
    EXPECT_EQ(GetFocus(), WindowOf(kTabOrder[step % count]))
        << "after Tab " << step << ": " << FocusName();
  }
  Held shift({VK_SHIFT, VK_LSHIFT});
  for (int step = 1; step <= count; ++step) {
    ASSERT_TRUE(PressOnFocus(VK_TAB));
    EXPECT_EQ(GetFocus(), WindowOf(kTabOrder[(count - step) % count]))
        << "after Shift+Tab " << step << ": " << FocusName();
  }
}

TEST_F(KeyTest, TabSkipsStopsThatCannotTakeTheFocus) {
  struct Case {
    const char* name;
    Unit changed;
    void (*change)(HWND);
    Unit from;
    bool forward;
    Unit expected;
  };
  auto disable = [](HWND window) { EnableWindow(window, FALSE); };
  auto hide = [](HWND window) { ShowWindow(window, SW_HIDE); };
  const Case cases[] = {
      {"disabled group box, forward", Unit::分组框1, disable, Unit::按钮2, true, Unit::编辑框4},
      {"disabled group box, backward", Unit::分组框1, disable, Unit::编辑框4, false, Unit::按钮2},
      {"disabled stop", Unit::编辑框4, disable, Unit::按钮3, true, Unit::编辑框3},
      {"disabled stop, backward", Unit::编辑框4, disable, Unit::编辑框3, false, Unit::按钮3},
      {"hidden stop", Unit::按钮4, hide, Unit::编辑框3, true, Unit::编辑框6},
      {"hidden first stop, wrapping", Unit::按钮1, hide, Unit::按钮5, true, Unit::按钮2},
      {"disabled last stop, wrapping back", Unit::按钮5, disable, Unit::按钮1, false,
       Unit::编辑框5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ReleaseModifiers();
    SetFocus(WindowOf(c.from));
    ASSERT_EQ(GetFocus(), WindowOf(c.from));
    c.change(WindowOf(c.changed));
    {
      Held shift = c.forward ? Held({}) : Held({VK_SHIFT, VK_LSHIFT});
      EXPECT_TRUE(PressOnFocus(VK_TAB));
    }
    EXPECT_EQ(GetFocus(), WindowOf(c.expected)) << FocusName();
    EnableWindow(WindowOf(c.changed), TRUE);
    ShowWindow(WindowOf(c.changed), SW_SHOWNA);
  }
}

TEST_F(KeyTest, KeysTheWindowDoesNotHandleReachTheControl) {
  struct Case {
    const char* name;
    UINT key;
    UINT message;
    std::initializer_list<int> held;
  };
  const Case cases[] = {
      {"Ctrl+Tab", VK_TAB, WM_KEYDOWN, {VK_CONTROL, VK_LCONTROL}},
      {"Alt+Tab", VK_TAB, WM_SYSKEYDOWN, {VK_MENU, VK_LMENU}},
      {"Tab released", VK_TAB, WM_KEYUP, {}},
      {"Tab character", '\t', WM_CHAR, {}},
      {"Shift+Esc", VK_ESCAPE, WM_KEYDOWN, {VK_SHIFT, VK_LSHIFT}},
      {"Ctrl+Esc", VK_ESCAPE, WM_KEYDOWN, {VK_CONTROL, VK_LCONTROL}},
      {"Esc released", VK_ESCAPE, WM_KEYUP, {}},
      {"Enter", VK_RETURN, WM_KEYDOWN, {}},
      {"Left", VK_LEFT, WM_KEYDOWN, {}},
      {"Right", VK_RIGHT, WM_KEYDOWN, {}},
      {"Up", VK_UP, WM_KEYDOWN, {}},
      {"Down", VK_DOWN, WM_KEYDOWN, {}},
      {"F1", VK_F1, WM_KEYDOWN, {}},
      {"Space", VK_SPACE, WM_KEYDOWN, {}},
  };
  for (Unit start : {Unit::按钮2, Unit::编辑框1}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + " on " + NameOf(start));
      SetFocus(WindowOf(start));
      {
        Held held(c.held);
        EXPECT_FALSE(PressOnFocus(c.key, c.message));
      }
      EXPECT_EQ(GetFocus(), WindowOf(start)) << FocusName();
      EXPECT_TRUE(MainWindowExists());
    }
  }
}

TEST_F(KeyTest, EscCloses) {
  SetFocus(WindowOf(Unit::编辑框3));
  EXPECT_TRUE(PressOnFocus(VK_ESCAPE));
  EXPECT_FALSE(MainWindowExists());
}

TEST_F(KeyTest, KeysForADisabledWindowOrAnotherWindowAreNotConsumed) {
  HWND button = WindowOf(Unit::按钮2);
  SetFocus(button);
  EnableWindow(button, FALSE);
  EXPECT_FALSE(Press(button, VK_TAB));
  EXPECT_FALSE(Press(button, VK_ESCAPE));
  EnableWindow(button, TRUE);

  other_ = CreateOtherWindow(false);
  ASSERT_NE(other_, nullptr);
  EXPECT_FALSE(Press(other_, VK_TAB));
  EXPECT_FALSE(Press(other_, VK_ESCAPE));
  EXPECT_FALSE(Press(nullptr, VK_TAB));
  EXPECT_TRUE(MainWindowExists());
}

TEST_F(KeyTest, ARealTabKeyThroughTheQueueMovesTheFocus) {
  ASSERT_EQ(GetFocus(), WindowOf(Unit::按钮1));
  INPUT keys[2] = {};
  for (INPUT& key : keys) {
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = VK_TAB;
  }
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ASSERT_EQ(SendInput(2, keys, sizeof(INPUT)), 2u);
  // The wait hands each message to the window's key handling.
  for (int round = 0; round < 250 && GetFocus() != WindowOf(Unit::按钮2); ++round) {
    WaitProcessingEvents(20);
  }
  EXPECT_EQ(GetFocus(), WindowOf(Unit::按钮2)) << FocusName();
}

TEST_F(KeyTest, FocusComesBackToTheSameControlAfterAnotherWindowWasActive) {
  SetFocus(WindowOf(Unit::编辑框3));
  ASSERT_EQ(GetFocus(), WindowOf(Unit::编辑框3));
  other_ = CreateOtherWindow(true);
  ASSERT_NE(other_, nullptr);
  SetForegroundWindow(other_);
  SetActiveWindow(other_);
  ASSERT_TRUE(Eventually([&] { return GetActiveWindow() == other_; })) << "other not active";
  EXPECT_NE(GetFocus(), WindowOf(Unit::编辑框3));
  SetForegroundWindow(main_);
  SetActiveWindow(main_);
  ASSERT_TRUE(Eventually([&] { return GetActiveWindow() == main_; })) << "main not active";
  EXPECT_EQ(GetFocus(), WindowOf(Unit::编辑框3)) << FocusName();
}

// --- Clicks and disabled group boxes ----------------------------------------

using ClickTest = ShownWindowTest;

TEST_F(ClickTest, ButtonClicksRunTheirRoutinesAlsoFromInsideAGroupBox) {
  const std::string width = Str(ScreenSizeText(ScreenWidth()));
  const std::string height = Str(ScreenSizeText(ScreenHeight()));
  struct Case {
    Unit button;
    Unit widthField, heightField;  // where the copy lands besides the screen fields
  };
  const Case cases[] = {
      {Unit::按钮3, Unit::编辑框1, Unit::编辑框2},
      {Unit::按钮4, Unit::编辑框4, Unit::编辑框3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(NameOf(c.button));
    for (Unit unit : kEditBoxes) SetText(unit, nullptr);
    SendMessageA(WindowOf(c.button), BM_CLICK, 0, 0);
    EXPECT_EQ(Text(Unit::编辑框6), width);
    EXPECT_EQ(Text(Unit::编辑框5), height);
    EXPECT_EQ(Text(c.widthField), width);
    EXPECT_EQ(Text(c.heightField), height);
    for (Unit unit : kEditBoxes) {
      if (unit != c.widthField && unit != c.heightField && unit != Unit::编辑框6 &&
          unit != Unit::编辑框5) {
        EXPECT_EQ(Text(unit), "<absent>") << NameOf(unit);
      }
    }
  }
}

TEST_F(ClickTest, ADisabledGroupBoxLeavesItsChildrensOwnStateAndTexts) {
  SetDisabled(Unit::分组框1, true);
  EXPECT_FALSE(Enabled(Unit::分组框1));
  for (Unit child : {Unit::按钮3, Unit::编辑框1, Unit::编辑框2, Unit::标签1, Unit::标签2}) {
    EXPECT_TRUE(Enabled(child)) << NameOf(child);
  }
  SetText(Unit::编辑框1, "1024");
  EXPECT_EQ(Text(Unit::编辑框1), "1024");
  SetText(Unit::分组框1, "RA2 未找到");
  EXPECT_EQ(Caption(Unit::分组框1), "RA2 未找到");
  EXPECT_FALSE(Enabled(Unit::分组框1)) << "a new caption keeps the state";
  SetDisabled(Unit::分组框1, false);
  EXPECT_TRUE(Enabled(Unit::分组框1));
  EXPECT_EQ(Caption(Unit::分组框1), "RA2 未找到") << "a new state keeps the caption";
}

// --- Texts ------------------------------------------------------------------

using TextTest = MainWindowTest;

TEST_F(TextTest, EditBoxTextsRoundTripByteForByte) {
  struct Case {
    const char* name;
    bool set;
    const char* text;
    std::string expected;
  };
  const Case cases[] = {
      {"never set", false, nullptr, "<absent>"},
      {"empty", true, "", "<absent>"},
      {"null", true, nullptr, "<absent>"},
      {"blanks kept", true, " 800 ", " 800 "},
      {"Chinese as GBK", true, "\xB7\xD6\xB1\xE6\xC2\xCA", "\xB7\xD6\xB1\xE6\xC2\xCA"},
      {"mixed", true, "1024\xCE\xDEx", "1024\xCE\xDEx"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetText(Unit::编辑框3, "previous");
    if (!c.set) {
      DestroyMainWindow();
      ASSERT_TRUE(CreateMainWindow());
    } else {
      SetText(Unit::编辑框3, c.text);
    }
    EXPECT_EQ(Text(Unit::编辑框3), c.expected);
  }
}

TEST_F(TextTest, LongTextsAreHeldWhole) {
  std::string digits(100000, '0');
  for (size_t i = 0; i < digits.size(); ++i) digits[i] = static_cast<char>('0' + i % 10);
  std::string chinese;
  while (chinese.size() < 100000) chinese += "\xB7\xD6\xB1\xE6";  // 分辨, twice
  for (const std::string& text : {digits, chinese}) {
    SetText(Unit::编辑框6, text.c_str());
    const TextValue back = GetText(Unit::编辑框6);
    ASSERT_FALSE(back.IsAbsent());
    EXPECT_EQ(back.Length(), text.size());
    EXPECT_TRUE(std::string(back.Bytes()) == text) << "content differs";
  }
}

// --- The wait ---------------------------------------------------------------

// A window that counts the messages posted to it.
class Counter {
 public:
  static constexpr UINT kMessage = WM_APP + 7;
  Counter() {
    window_ = CreateTestWindow("UiTestsCounter", Proc);
    count_ = 0;
  }
  ~Counter() { DestroyWindow(window_); }
  void Post() const { PostMessageA(window_, kMessage, 0, 0); }
  int Count() const { return count_; }
  HWND Window() const { return window_; }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kMessage) ++count_;
    return DefWindowProcA(window, message, wParam, lParam);
  }
  static inline int count_ = 0;
  HWND window_;
};

// Removes whatever the thread's queue still holds, quit messages included.
void DrainQueue() {
  MSG message;
  for (int i = 0; i < 10000 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
    if (message.message != WM_QUIT) DispatchMessageA(&message);
  }
}

class WaitTest : public ::testing::Test {
 protected:
  void SetUp() override { DrainQueue(); }
  void TearDown() override {
    SetWaitClock(nullptr);
    DrainQueue();
  }
};

TEST_F(WaitTest, ZeroOrLessReturnsWithoutHandlingAnything) {
  Counter counter;
  for (int milliseconds : {0, -1, -100}) {
    SCOPED_TRACE(milliseconds);
    counter.Post();
    WaitProcessingEvents(milliseconds);
    EXPECT_EQ(counter.Count(), 0);
    MSG message;
    EXPECT_TRUE(
        PeekMessageA(&message, counter.Window(), Counter::kMessage, Counter::kMessage, PM_REMOVE));
  }
}

TEST_F(WaitTest, WithTheRealClockReturnsOnlyAfterTheTimeHasPassedAndHandlesPostedMessages) {
  Counter counter;
  counter.Post();
  const DWORD before = GetTickCount();
  WaitProcessingEvents(100);
  const DWORD after = GetTickCount();
  EXPECT_GT(after - before, 100u);
  EXPECT_EQ(counter.Count(), 1);
}

TEST_F(WaitTest, AQuitMessageStaysForTheLoopWhilePostedMessagesAreHandled) {
  Counter counter;
  PostQuitMessage(7);
  counter.Post();
  counter.Post();
  WaitProcessingEvents(30);
  EXPECT_EQ(counter.Count(), 2);
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(message.wParam, 7u);
}

// Counts the passes over the queue: with a quit message waiting, each pass
// looks at the queue exactly once and stops there.
int passes = 0;
LRESULT CALLBACK CountPass(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && reinterpret_cast<MSG*>(lParam)->message == WM_QUIT) ++passes;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A clock reading a script, noting how many passes came before each reading.
struct ScriptedClock {
  std::vector<std::uint32_t> readings;
  std::vector<int> passesAtReading;
  std::uint32_t afterScript;  // ends the wait should the script run out
  bool ranOut = false;
};
ScriptedClock* script = nullptr;

std::uint32_t ReadScript() {
  const size_t index = script->passesAtReading.size();
  script->passesAtReading.push_back(passes);
  if (index < script->readings.size()) return script->readings[index];
  script->ranOut = true;
  return script->afterScript;
}

TEST_F(WaitTest, PassesAndTheDeadlineFollowTheClockAlsoWhenItWraps) {
  struct Case {
    const char* name;
    int milliseconds;
    std::vector<std::uint32_t> readings;
    std::vector<int> passesAtReading;
  };
  const Case cases[] = {
      // Two passes, then four more each time the clock is still within the time.
      {"plain", 100, {1000, 1050, 1100, 1101}, {0, 2, 6, 10}},
      {"over at once", 100, {1000, 1101}, {0, 2}},
      // The deadline wraps to 0x54: a clock still before the wrap is already past it.
      {"wrapping, clock not moved", 100, {0xFFFFFFF0u, 0xFFFFFFF0u}, {0, 2}},
      {"wrapping, clock moved on", 100, {0xFFFFFFF0u, 0x54, 0x55}, {0, 2, 6}},
  };
  HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, CountPass, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedClock clock{c.readings, {}, c.readings.front() + c.milliseconds + 1u};
    script = &clock;
    passes = 0;
    PostQuitMessage(0);
    SetWaitClock(ReadScript);
    WaitProcessingEvents(c.milliseconds);
    SetWaitClock(nullptr);
    EXPECT_FALSE(clock.ranOut);
    EXPECT_EQ(clock.passesAtReading, c.passesAtReading);
    EXPECT_EQ(passes, c.passesAtReading.back());
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  }
  UnhookWindowsHookEx(hook);
  script = nullptr;
}

// --- Message boxes ----------------------------------------------------------

// What the box's window looked like while open, beyond the recorder's notes.
struct OpenBox {
  HWND owner = nullptr;
  int textHeight = 0;
};

BOOL CALLBACK FindRecordedBox(HWND window, LPARAM context) {
  if (ClassOf(window) == "#32770" && GetPropA(window, "recorded")) {
    *reinterpret_cast<HWND*>(context) = window;
    return FALSE;
  }
  return TRUE;
}

// The open box the recorder has seen.
HWND RecordedBoxWindow() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindRecordedBox, reinterpret_cast<LPARAM>(&found));
  return found;
}

using MessageTest = MainWindowTest;

TEST_F(MessageTest, APlainBoxShowsTextAndCaptionWithOneOkButtonAndBlocksTheWindow) {
  EXPECT_EQ(ShowMessage("已写入。", 0, "提示"), 0);
  ASSERT_EQ(messageBoxes_.boxes.size(), 1u);
  const RecordedBox& box = messageBoxes_.boxes[0];
  EXPECT_EQ(box.text, "已写入。");
  EXPECT_EQ(box.caption, "提示");
  EXPECT_EQ(box.buttons, 1);
  EXPECT_FALSE(box.icon);
  EXPECT_FALSE(box.mainWindowEnabled) << "task-modal";
  EXPECT_FALSE(box.topmost);
  EXPECT_TRUE(Enabled(Unit::MainWindow)) << "enabled again once closed";
}

TEST_F(MessageTest, ACaptionLeftOutIsInformation) {
  ShowMessage("x");
  ASSERT_EQ(messageBoxes_.boxes.size(), 1u);
  EXPECT_EQ(messageBoxes_.boxes[0].caption, "信息：");
}

TEST_F(MessageTest, SystemModalStaysOnTopAndGetsNothingAdded) {
  EXPECT_EQ(ShowMessage("x", kMessageSystemModal), 0);
  ASSERT_EQ(messageBoxes_.boxes.size(), 1u);
  const RecordedBox& box = messageBoxes_.boxes[0];
  EXPECT_TRUE(box.topmost);
  EXPECT_TRUE(box.mainWindowEnabled) << "no task-modal flag added";
  EXPECT_EQ(box.buttons, 1);
  EXPECT_FALSE(box.icon);
}

TEST_F(MessageTest, EveryButtonMapsToItsResult) {
  struct Case {
    int flags;
    int answer;
    int result;
    int buttons;
  };
  const Case cases[] = {
      {MB_OK, IDOK, 0, 1},
      {MB_OKCANCEL, IDOK, 0, 2},
      {MB_OKCANCEL, IDCANCEL, 1, 2},
      {MB_ABORTRETRYIGNORE, IDABORT, 2, 3},
      {MB_ABORTRETRYIGNORE, IDRETRY, 3, 3},
      {MB_ABORTRETRYIGNORE, IDIGNORE, 4, 3},
      {MB_YESNOCANCEL, IDYES, 5, 3},
      {MB_YESNOCANCEL, IDNO, 6, 3},
      {MB_YESNOCANCEL, IDCANCEL, 1, 3},
      {MB_RETRYCANCEL, IDRETRY, 3, 2},
      {MB_RETRYCANCEL, IDCANCEL, 1, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("flags " + std::to_string(c.flags) + " answer " + std::to_string(c.answer));
    messageBoxes_.boxes.clear();
    messageBoxes_.answer = c.answer;
    EXPECT_EQ(ShowMessage("?", c.flags), c.result);
    ASSERT_EQ(messageBoxes_.boxes.size(), 1u);
    EXPECT_EQ(messageBoxes_.boxes[0].buttons, c.buttons);
  }
}

TEST_F(MessageTest, ALineBreakShowsTwoLines) {
  OpenBox open;
  messageBoxes_.whileOpen = [&](const RecordedBox&) {
    RECT text;
    GetWindowRect(GetDlgItem(RecordedBoxWindow(), 0xFFFF), &text);
    open.textHeight = text.bottom - text.top;
  };
  ShowMessage("第一行\r\n第二行");
  ASSERT_EQ(messageBoxes_.boxes.size(), 1u);
  EXPECT_EQ(messageBoxes_.boxes[0].text, "第一行\r\n第二行");
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HFONT font = CreateFontIndirectA(&metrics.lfMessageFont);
  EXPECT_GE(open.textHeight, 2 * TextExtent(font, "第").cy);
  DeleteObject(font);
}

TEST_F(MessageTest, TheOwnerIsTheUnitTheHandleOrNobody) {
  HWND other = CreateOtherWindow(false);
  ASSERT_NE(other, nullptr);
  struct Case {
    const char* name;
    MessageOwner owner;
    HWND expected;
  };
  const Case cases[] = {
      {"main window", MessageOwner::Of(Unit::MainWindow), WindowOf(Unit::MainWindow)},
      {"handle", MessageOwner::OfHandle(reinterpret_cast<std::uintptr_t>(other)), other},
      {"nobody", MessageOwner::Nobody(), nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OpenBox open;
    open.owner = reinterpret_cast<HWND>(1);
    messageBoxes_.whileOpen = [&](const RecordedBox&) {
      open.owner = GetWindow(RecordedBoxWindow(), GW_OWNER);
    };
    EXPECT_EQ(ShowMessage("x", 0, nullptr, c.owner), 0);
    EXPECT_EQ(open.owner, c.expected);
  }
  DestroyWindow(other);

  // The main window gone, a box meant for it has no owner and still shows.
  DestroyMainWindow();
  messageBoxes_.boxes.clear();
  HWND owner = reinterpret_cast<HWND>(1);
  messageBoxes_.whileOpen = [&](const RecordedBox&) {
    owner = GetWindow(RecordedBoxWindow(), GW_OWNER);
  };
  EXPECT_EQ(ShowMessage("x", 0, nullptr, MessageOwner::Of(Unit::MainWindow)), 0);
  EXPECT_EQ(messageBoxes_.boxes.size(), 1u);
  EXPECT_EQ(owner, nullptr);
}

// --- Icons ------------------------------------------------------------------

SIZE IconSize(HICON icon) {
  ICONINFO info = {};
  if (!GetIconInfo(icon, &info)) return {0, 0};
  BITMAP bitmap = {};
  GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  SIZE size = {bitmap.bmWidth, info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2};
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return size;
}

using IconTest = MainWindowTest;

TEST_F(IconTest, TheWindowCarriesTheProgramsIconInBothSizes) {
  struct Case {
    WPARAM which;
    int size;
  };
  for (const Case& c : {Case{ICON_BIG, 32}, Case{ICON_SMALL, 16}}) {
    SCOPED_TRACE(c.size);
    HICON icon =
        reinterpret_cast<HICON>(SendMessageA(WindowOf(Unit::MainWindow), WM_GETICON, c.which, 0));
    ASSERT_NE(icon, nullptr);
    const SIZE size = IconSize(icon);
    EXPECT_EQ(size.cx, c.size);
    EXPECT_EQ(size.cy, c.size);
  }
}

// --- The window's life ------------------------------------------------------

using LifeTest = MainWindowTest;

TEST_F(LifeTest, ASecondCreateFailsAndLeavesTheFirstWindow) {
  HWND first = WindowOf(Unit::MainWindow);
  HWND edit = WindowOf(Unit::编辑框1);
  EXPECT_FALSE(CreateMainWindow());
  EXPECT_TRUE(MainWindowExists());
  EXPECT_EQ(WindowOf(Unit::MainWindow), first);
  EXPECT_EQ(WindowOf(Unit::编辑框1), edit);
  EXPECT_TRUE(IsWindow(edit));
  SetText(Unit::编辑框1, "800");
  EXPECT_EQ(Text(Unit::编辑框1), "800");
}

TEST_F(LifeTest, OnceDestroyedEveryOperationDoesNothing) {
  SetText(Unit::编辑框1, "800");
  DestroyMainWindow();
  EXPECT_FALSE(MainWindowExists());
  for (int index = 0; index <= kControlCount; ++index) {
    const Unit unit = static_cast<Unit>(index);
    SCOPED_TRACE(NameOf(unit));
    EXPECT_EQ(WindowOf(unit), nullptr);
    SetText(unit, "1024");
    SetDisabled(unit, true);
    SetDisabled(unit, false);
    EXPECT_EQ(Str(GetText(unit)), "<absent>");
  }
  DestroyMainWindow();  // a second time is harmless too
  EXPECT_FALSE(MainWindowExists());
  ASSERT_TRUE(CreateMainWindow()) << "a new window after the old one is gone";
  EXPECT_EQ(Text(Unit::编辑框1), "<absent>");
}

TEST_F(LifeTest, ACloseEndsTheWindow) {
  SendMessageA(WindowOf(Unit::MainWindow), WM_CLOSE, 0, 0);
  EXPECT_FALSE(MainWindowExists());
  EXPECT_EQ(Str(GetText(Unit::编辑框1)), "<absent>");
}

TEST_F(LifeTest, TheWindowAgreesToEndTheSessionAndStays) {
  EXPECT_NE(SendMessageA(WindowOf(Unit::MainWindow), WM_QUERYENDSESSION, 0, 0), 0);
  EXPECT_TRUE(MainWindowExists()) << "agreeing saves and closes nothing";
}

// --- Watchdog ---------------------------------------------------------------

// A test that hangs ends the run with its name, rather than blocking.
class Watchdog : public ::testing::EmptyTestEventListener {
 public:
  static constexpr int kLimitSeconds = 60;
  Watchdog() {
    HANDLE thread = CreateThread(nullptr, 0, Watch, this, 0, nullptr);
    if (thread) CloseHandle(thread);
  }
  void OnTestStart(const ::testing::TestInfo& test) override {
    std::snprintf(name_, sizeof name_, "%s.%s", test.test_suite_name(), test.name());
    deadline_ = GetTickCount64() + kLimitSeconds * 1000ull;
  }
  void OnTestEnd(const ::testing::TestInfo&) override { deadline_ = 0; }

 private:
  static DWORD WINAPI Watch(void* self) {
    auto* watchdog = static_cast<Watchdog*>(self);
    for (;;) {
      Sleep(250);
      const ULONGLONG deadline = watchdog->deadline_.load();
      if (deadline != 0 && GetTickCount64() > deadline) {
        std::fprintf(stderr, "\n%s: no end after %d s, stopped\n", watchdog->name_, kLimitSeconds);
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
      }
    }
  }
  std::atomic<ULONGLONG> deadline_{0};
  char name_[256] = {};
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new Watchdog);
  return RUN_ALL_TESTS();
}
