// Starts the real tool as its own process on the test display and checks,
// with real input, what a user sees and what lands on disk.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "tests/e2e_driver.h"
#include "tests/test_files.h"
#include "tests/test_windows.h"
#include "ui/main_window.h"

namespace {

constexpr COLORREF kEditText = RGB(0, 128, 0);
constexpr COLORREF kEditBackground = RGB(236, 236, 236);

const std::string& ScreenWidth() {
  static const std::string text = std::to_string(GetSystemMetrics(SM_CXSCREEN));
  return text;
}
const std::string& ScreenHeight() {
  static const std::string text = std::to_string(GetSystemMetrics(SM_CYSCREEN));
  return text;
}

std::string Video(const std::string& width, const std::string& height) {
  return "[Video]\r\nScreenWidth=" + width + "\r\nScreenHeight=" + height + "\r\n";
}

// A game folder inside a fresh temporary folder. The temporary folder is
// the current directory the tool starts from and holds decoy game files,
// so reading them instead of the ones next to the tool shows.
class Game {
 public:
  Game() : folder_(root_ / "game") {
    created_ = CreateDirectoryA(folder_.c_str(), nullptr) &&
               WriteFileBytes(root_ / "ra2.ini", Video("640", "480")) &&
               WriteFileBytes(root_ / "ra2md.ini", Video("640", "480"));
  }

  std::string File(const std::string& name) const { return folder_ + "\\" + name; }
  std::string Decoy(const std::string& name) const { return root_ / name; }
  bool Write(const std::string& name, const std::string& bytes) const {
    return WriteFileBytes(File(name), bytes);
  }
  std::string Read(const std::string& name) const { return ReadFileBytes(File(name)); }
  ::testing::AssertionResult Start(const std::string& arguments = "--bogus /x") {
    if (!created_) return ::testing::AssertionFailure() << "can't lay out " << folder_;
    return tool.Start(folder_, root_.Path(), arguments);
  }
  HWND operator[](Unit unit) const { return tool.Control(unit); }
  std::string Text(Unit unit) const { return TextOf(tool.Control(unit)); }
  ::testing::AssertionResult Click(Unit unit) const {
    HWND control = tool.Control(unit);
    if (control == nullptr) return ::testing::AssertionFailure() << "no control " << int(unit);
    if (!ClickAt(Centre(ScreenRect(control)))) {
      return ::testing::AssertionFailure() << "the mouse can't reach " << NameOf(control);
    }
    return ::testing::AssertionSuccess();
  }

 private:
  TempFolder root_;
  std::string folder_;
  bool created_ = false;

 public:
  ToolProcess tool;  // declared last so it ends before the folders go
};

// What one game's group box shows.
struct GroupView {
  Unit group, width, height;
  bool found;
  const char* caption;
  std::string shownWidth, shownHeight;
};

void ExpectGroup(const Game& game, const GroupView& view) {
  HWND group = game[view.group];
  ASSERT_NE(group, nullptr);
  EXPECT_TRUE(TextBecomes(group, view.caption));
  EXPECT_EQ(IsWindowEnabled(group) != FALSE, view.found) << NameOf(group);
  EXPECT_TRUE(TextBecomes(game[view.width], view.shownWidth));
  EXPECT_TRUE(TextBecomes(game[view.height], view.shownHeight));
}

GroupView Ra2Found(std::string width, std::string height) {
  return {Unit::分组框1, Unit::编辑框1, Unit::编辑框2, true, "RA2当前游戏分辨率", width, height};
}
GroupView Ra2Missing() {
  return {Unit::分组框1, Unit::编辑框1, Unit::编辑框2, false, "未获取到RA2配置文件", "", ""};
}
GroupView Ra2mdFound(std::string width, std::string height) {
  return {Unit::分组框2, Unit::编辑框4, Unit::编辑框3, true, "RA2-MD当前游戏分辨率", width, height};
}
GroupView Ra2mdMissing() {
  return {Unit::分组框2, Unit::编辑框4, Unit::编辑框3, false, "未获取到RA2MD配置文件", "", ""};
}

void ExpectScreenFields(const Game& game) {
  EXPECT_TRUE(TextBecomes(game[Unit::编辑框6], ScreenWidth()));
  EXPECT_TRUE(TextBecomes(game[Unit::编辑框5], ScreenHeight()));
}

// Where the frame puts each hit-test code along the middle of the caption:
// the centre of each code's span, found by asking the window itself.
struct CaptionMap {
  bool answered = false;
  std::vector<std::pair<LRESULT, POINT>> spans;  // right to left
  bool Has(LRESULT code) const { return At(code).x >= 0; }
  POINT At(LRESULT code) const {
    for (const auto& [hit, centre] : spans) {
      if (hit == code) return centre;
    }
    return {-1, -1};
  }
};

CaptionMap MapCaption(HWND window) {
  const RECT outer = ScreenRect(window);
  const int y = outer.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
  CaptionMap map;
  LRESULT current = HTERROR;
  int spanStart = 0;
  auto close = [&](int end) {
    if (current != HTERROR) map.spans.push_back({current, {(spanStart + end) / 2, y}});
  };
  for (int x = outer.right - 1; x > outer.right - 120; --x) {
    LRESULT hit = HTERROR;
    if (!BoundedSend(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), &hit)) return map;
    if (hit != current) {
      close(x + 1);
      current = hit;
      spanStart = x;
    }
  }
  close(outer.right - 119);
  map.answered = true;
  return map;
}

// ----------------------------------------------------------------------------
// The window and its controls

struct ControlFact {
  Unit unit;
  const char* className;
  Unit container;
  int left, top, width, height;
  const char* text;  // null where it depends on the files
};

const ControlFact kControlFacts[] = {
    {Unit::按钮5, "Button", Unit::MainWindow, 310, 128, 72, 56, "读游戏数据"},
    {Unit::分组框3, "Button", Unit::MainWindow, 302, 8, 216, 96, "电脑屏幕分辨率"},
    {Unit::标签5, "Static", Unit::分组框3, 16, 57, 60, 24, "屏幕高："},
    {Unit::编辑框5, "Edit", Unit::分组框3, 80, 55, 128, 32, nullptr},
    {Unit::编辑框6, "Edit", Unit::分组框3, 80, 21, 128, 32, nullptr},
    {Unit::标签6, "Static", Unit::分组框3, 16, 23, 60, 24, "屏幕宽："},
    {Unit::分组框2, "Button", Unit::MainWindow, 8, 105, 288, 96, nullptr},
    {Unit::按钮4, "Button", Unit::分组框2, 216, 24, 64, 64, "取屏幕分辨率到数据区"},
    {Unit::标签3, "Static", Unit::分组框2, 16, 57, 60, 24, "屏幕高："},
    {Unit::编辑框3, "Edit", Unit::分组框2, 80, 55, 128, 32, nullptr},
    {Unit::编辑框4, "Edit", Unit::分组框2, 80, 21, 128, 32, nullptr},
    {Unit::标签4, "Static", Unit::分组框2, 16, 23, 60, 24, "屏幕宽："},
    {Unit::按钮3, "Button", Unit::分组框1, 216, 24, 64, 64, "取屏幕分辨率到数据区"},
    {Unit::标签2, "Static", Unit::分组框1, 16, 57, 60, 24, "屏幕高："},
    {Unit::编辑框2, "Edit", Unit::分组框1, 80, 55, 128, 32, nullptr},
    {Unit::编辑框1, "Edit", Unit::分组框1, 80, 21, 128, 32, nullptr},
    {Unit::标签1, "Static", Unit::分组框1, 16, 23, 60, 24, "屏幕宽："},
    {Unit::按钮2, "Button", Unit::MainWindow, 394, 156, 120, 35, "批量设置分辨率"},
    {Unit::按钮1, "Button", Unit::MainWindow, 394, 117, 120, 35, "取幕分辨率到数据区"},
    {Unit::分组框1, "Button", Unit::MainWindow, 8, 8, 288, 96, nullptr},
};

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

bool IsGroupBox(Unit unit) {
  return unit == Unit::分组框1 || unit == Unit::分组框2 || unit == Unit::分组框3;
}

HWND ContainerOf(const Game& game, Unit container) {
  return container == Unit::MainWindow ? game.tool.Main() : game[container];
}

TEST(EndToEndWindow, FrameControlsAndFieldsAtTypicalStart) {
  Game game;
  ASSERT_TRUE(game.Write("ra2.ini", Video("800", "600")));
  ASSERT_TRUE(game.Start());
  HWND main = game.tool.Main();

  const RECT outer = ScreenRect(main);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 529) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 234) / 2);
  EXPECT_EQ(outer.right - outer.left, 529);
  EXPECT_EQ(outer.bottom - outer.top, 234);

  const LONG style = GetWindowLongA(main, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_CHILD);
  EXPECT_TRUE(GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  EXPECT_EQ(GetWindow(main, GW_OWNER), nullptr);
  EXPECT_EQ(GetMenu(main), nullptr);

  // What the frame offers the mouse: a close and a minimise box on the
  // caption, and no border that resizes.
  const CaptionMap caption = MapCaption(main);
  ASSERT_TRUE(caption.answered) << "the window does not answer WM_NCHITTEST";
  EXPECT_TRUE(caption.Has(HTCLOSE));
  EXPECT_TRUE(caption.Has(HTMINBUTTON));
  for (POINT edge : {POINT{outer.right - 1, outer.bottom - 1}, POINT{outer.left, outer.top + 100},
                     POINT{outer.left + 200, outer.bottom - 1}}) {
    LRESULT hit = HTERROR;
    ASSERT_TRUE(BoundedSend(main, WM_NCHITTEST, 0, MAKELPARAM(edge.x, edge.y), &hit));
    EXPECT_FALSE(hit >= HTLEFT && hit <= HTBOTTOMRIGHT)
        << "hit " << hit << " at " << edge.x << "," << edge.y;
  }

  int children = 0;
  EnumChildWindows(main, CountWindow, reinterpret_cast<LPARAM>(&children));
  EXPECT_EQ(children, kControlCount);

  for (const ControlFact& fact : kControlFacts) {
    HWND control = game[fact.unit];
    SCOPED_TRACE("control " + std::to_string(int(fact.unit)));
    ASSERT_NE(control, nullptr);
    HWND container = ContainerOf(game, fact.container);
    ASSERT_NE(container, nullptr);
    EXPECT_EQ(GetAncestor(control, GA_PARENT), container) << NameOf(control);
    char className[32] = {};
    GetClassNameA(control, className, sizeof className);
    EXPECT_STREQ(className, fact.className) << NameOf(control);
    const LONG controlStyle = GetWindowLongA(control, GWL_STYLE);
    EXPECT_EQ(controlStyle & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE) << NameOf(control);
    EXPECT_EQ(
        (controlStyle & BS_TYPEMASK) == BS_GROUPBOX && fact.className == std::string("Button"),
        IsGroupBox(fact.unit))
        << NameOf(control);
    const POINT origin = ClientOrigin(container);
    const RECT rect = ScreenRect(control);
    EXPECT_EQ(rect.left, origin.x + fact.left) << NameOf(control);
    EXPECT_EQ(rect.top, origin.y + fact.top) << NameOf(control);
    EXPECT_EQ(rect.right - rect.left, fact.width) << NameOf(control);
    EXPECT_EQ(rect.bottom - rect.top, fact.height) << NameOf(control);
    if (fact.text) {
      EXPECT_EQ(TextOf(control), fact.text) << NameOf(control);
    }
  }

  // Within each container the smaller number lies above.
  for (Unit container : {Unit::MainWindow, Unit::分组框1, Unit::分组框2, Unit::分组框3}) {
    std::vector<std::string> expected, seen;
    for (int n = 1; n <= kControlCount; ++n) {
      for (const ControlFact& fact : kControlFacts) {
        if (int(fact.unit) == n && fact.container == container) {
          expected.push_back(NameOf(game[fact.unit]));
        }
      }
    }
    HWND parent = ContainerOf(game, container);
    for (HWND child = GetWindow(parent, GW_CHILD); child && seen.size() < 32;
         child = GetWindow(child, GW_HWNDNEXT)) {
      seen.push_back(NameOf(child));
    }
    EXPECT_EQ(seen, expected) << "stacking in " << NameOf(parent);
  }

  ExpectScreenFields(game);
  ExpectGroup(game, Ra2Found("800", "600"));
  ExpectGroup(game, Ra2mdMissing());
  EXPECT_TRUE(FocusBecomes(game.tool, game[Unit::按钮1]));
  EXPECT_EQ(TextOf(main), "Relvanta V2.2 Tobrisk");

  // The platform draws a greyed maximise box beside the minimise box; a
  // click on it, and a double click on the caption, must leave the size.
  // The click on 按钮3 after them shows they were handled.
  ASSERT_TRUE(game.tool.BringToFront());
  ASSERT_TRUE(!caption.Has(HTMAXBUTTON) || ClickAt(caption.At(HTMAXBUTTON)));
  ASSERT_TRUE(ClickAt(caption.At(HTCAPTION)));
  ASSERT_TRUE(ClickAt(caption.At(HTCAPTION)));
  ASSERT_TRUE(game.Click(Unit::按钮3));
  EXPECT_TRUE(TextBecomes(game[Unit::编辑框1], ScreenWidth()));
  EXPECT_FALSE(IsZoomed(main));
  const RECT after = ScreenRect(main);
  EXPECT_TRUE(EqualRect(&after, &outer))
      << "now " << after.left << "," << after.top << " " << after.right - after.left << " x "
      << after.bottom - after.top;
}

// ----------------------------------------------------------------------------
// What the fields show for what the folder holds

struct StartCase {
  const char* name;
  const char* ra2;    // bytes of ra2.ini, null when absent
  const char* ra2md;  // bytes of ra2md.ini, null when absent
  GroupView ra2View, ra2mdView;
};

TEST(EndToEndStart, FieldsShowWhatTheFolderHolds) {
  const StartCase cases[] = {
      {"both files", "[Video]\r\nScreenWidth=1024\r\nScreenHeight=768\r\n",
       "[Video]\r\nScreenWidth=1280\r\nScreenHeight=720\r\n", Ra2Found("1024", "768"),
       Ra2mdFound("1280", "720")},
      {"ra2md.ini only, height key missing", nullptr, "[Video]\r\nScreenWidth=1920\r\n",
       Ra2Missing(), Ra2mdFound("1920", "无")},
      {"neither file", nullptr, nullptr, Ra2Missing(), Ra2mdMissing()},
  };
  for (const StartCase& c : cases) {
    SCOPED_TRACE(c.name);
    Game game;
    ASSERT_TRUE(!c.ra2 || game.Write("ra2.ini", c.ra2));
    ASSERT_TRUE(!c.ra2md || game.Write("ra2md.ini", c.ra2md));
    ASSERT_TRUE(game.Start());
    ExpectScreenFields(game);
    ExpectGroup(game, c.ra2View);
    ExpectGroup(game, c.ra2mdView);
    EXPECT_TRUE(FocusBecomes(game.tool, game[Unit::按钮1]));
  }
}

// ----------------------------------------------------------------------------
// Colours as drawn on the screen

bool IsBackground(COLORREF colour, COLORREF background) {
  auto close = [](int a, int b) { return std::abs(a - b) <= 8; };
  return close(GetRValue(colour), GetRValue(background)) &&
         close(GetGValue(colour), GetGValue(background)) &&
         close(GetBValue(colour), GetBValue(background));
}

// Every pixel inside `area` that is not `background`, and their bounds.
struct Ink {
  struct Pixel {
    int x, y;
    COLORREF colour;
  };
  std::vector<Pixel> pixels;
  RECT box = {LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
};

Ink InkIn(const ScreenCapture& shot, const RECT& area, COLORREF background) {
  Ink ink;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      const COLORREF colour = shot.At(x, y);
      if (IsBackground(colour, background)) continue;
      ink.pixels.push_back({x, y, colour});
      ink.box.left = std::min<LONG>(ink.box.left, x);
      ink.box.top = std::min<LONG>(ink.box.top, y);
      ink.box.right = std::max<LONG>(ink.box.right, x + 1);
      ink.box.bottom = std::max<LONG>(ink.box.bottom, y + 1);
    }
  }
  return ink;
}

std::string Hex(COLORREF colour) {
  char text[16];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", GetRValue(colour), GetGValue(colour),
                GetBValue(colour));
  return text;
}

TEST(EndToEndLook, ColoursDrawnOnTheScreen) {
  Game game;
  ASSERT_TRUE(game.Write("ra2.ini", Video("800", "600")));
  ASSERT_TRUE(game.Write("ra2md.ini", Video("1280", "720")));
  ASSERT_TRUE(game.Start());
  ASSERT_TRUE(game.tool.BringToFront());
  const RECT outer = ScreenRect(game.tool.Main());
  const Unit edits[] = {Unit::编辑框1, Unit::编辑框2, Unit::编辑框3,
                        Unit::编辑框4, Unit::编辑框5, Unit::编辑框6};
  // Painting follows showing: wait until every box shows some text colour.
  // Should it never come, the checks below tell what is there instead.
  WaitUntil([&] {
    const ScreenCapture early(outer);
    for (Unit unit : edits) {
      const RECT box = ScreenRect(game[unit]);
      bool green = false;
      for (int y = box.top; y < box.bottom && !green; ++y) {
        for (int x = box.left; x < box.right && !green; ++x) green = early.At(x, y) == kEditText;
      }
      if (!green) return false;
    }
    return true;
  });
  const ScreenCapture shot(outer);
  ASSERT_TRUE(shot.Valid());
  // For a person to look at: RELVANTA_SCREENSHOT names a .bmp file.
  if (const char* path = std::getenv("RELVANTA_SCREENSHOT")) shot.SaveBmp(path);

  for (Unit unit : edits) {
    HWND edit = game[unit];
    SCOPED_TRACE(NameOf(edit));
    const RECT box = ScreenRect(edit);
    RECT inside = box;
    InflateRect(&inside, -2, -2);  // a flat or a sunken frame at the rim
    const int middle = (inside.left + inside.right) / 2;
    for (POINT p :
         {POINT{inside.left, inside.top}, POINT{inside.right - 1, inside.top},
          POINT{inside.left, inside.bottom - 1}, POINT{inside.right - 1, inside.bottom - 1},
          POINT{middle, inside.top}, POINT{middle, inside.bottom - 1}}) {
      EXPECT_EQ(Hex(shot.At(p.x, p.y)), Hex(kEditBackground))
          << "at " << p.x - box.left << "," << p.y - box.top << " in the box";
    }
    const Ink ink = InkIn(shot, inside, kEditBackground);
    ASSERT_GT(ink.pixels.size(), 10u) << "no text drawn";
    // Green on grey: every blend keeps red and blue equal and green above
    // them; anything else inside is not the text on its background.
    int exact = 0, offHue = 0;
    std::string firstOff;
    for (const Ink::Pixel& p : ink.pixels) {
      const COLORREF c = p.colour;
      if (c == kEditText) ++exact;
      if (std::abs(GetRValue(c) - GetBValue(c)) <= 8 && GetGValue(c) > GetRValue(c)) continue;
      if (offHue++ == 0) {
        firstOff = Hex(c) + " at " + std::to_string(p.x - box.left) + "," +
                   std::to_string(p.y - box.top) + " in the box";
      }
    }
    EXPECT_EQ(offHue, 0) << "pixels neither text nor background, first " << firstOff;
    EXPECT_GT(exact, 0) << "no pixel of " << Hex(kEditText);
    const int leftGap = ink.box.left - inside.left, rightGap = inside.right - ink.box.right;
    const int topGap = ink.box.top - inside.top, bottomGap = inside.bottom - ink.box.bottom;
    EXPECT_LE(std::abs(leftGap - rightGap), 3) << "left " << leftGap << ", right " << rightGap;
    EXPECT_LE(std::abs(topGap - bottomGap), 4) << "top " << topGap << ", bottom " << bottomGap;
  }

  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  for (Unit unit : {Unit::标签1, Unit::标签2, Unit::标签3, Unit::标签4, Unit::标签5, Unit::标签6}) {
    HWND label = game[unit];
    SCOPED_TRACE(NameOf(label));
    const RECT area = ScreenRect(label);
    EXPECT_EQ(Hex(shot.At(area.right - 1, area.bottom - 1)), Hex(face));
    const Ink ink = InkIn(shot, area, face);
    ASSERT_GT(ink.pixels.size(), 10u) << "no text drawn";
    int dark = 0, offHue = 0;
    for (const Ink::Pixel& p : ink.pixels) {
      const COLORREF c = p.colour;
      if (std::abs(GetRValue(c) - GetGValue(c)) > 8 || std::abs(GetGValue(c) - GetBValue(c)) > 8) {
        ++offHue;
      }
      if (GetRValue(c) < 64 && GetGValue(c) < 64 && GetBValue(c) < 64) ++dark;
    }
    EXPECT_EQ(offHue, 0) << "ink that is not black";
    EXPECT_GT(dark, 5) << "no black ink";
    EXPECT_LT(ink.pixels.size() * 2, size_t((area.right - area.left) * (area.bottom - area.top)))
        << "the background is not " << Hex(face);
  }

  // Gaps between the controls, and the insides of the group boxes.
  const POINT client = ClientOrigin(game.tool.Main());
  std::vector<POINT> plain = {{client.x + 299, client.y + 50}, {client.x + 388, client.y + 110}};
  for (Unit group : {Unit::分组框1, Unit::分组框2, Unit::分组框3}) {
    const POINT inside = ClientOrigin(game[group]);
    plain.push_back({inside.x + 8, inside.y + 50});
  }
  for (POINT p : plain) EXPECT_EQ(Hex(shot.At(p.x, p.y)), Hex(face)) << p.x << "," << p.y;
}

// ----------------------------------------------------------------------------
// Keyboard

struct TabCase {
  const char* name;
  bool withRa2md;
  std::vector<Unit> order;  // from 按钮1 forward
};

TEST(EndToEndKeyboard, TabWalksEveryStopBothWays) {
  const TabCase cases[] = {
      {"both group boxes enabled",
       true,
       {Unit::按钮1, Unit::按钮2, Unit::编辑框1, Unit::编辑框2, Unit::按钮3, Unit::编辑框4,
        Unit::编辑框3, Unit::按钮4, Unit::编辑框6, Unit::编辑框5, Unit::按钮5}},
      {"RA2MD group box disabled",
       false,
       {Unit::按钮1, Unit::按钮2, Unit::编辑框1, Unit::编辑框2, Unit::按钮3, Unit::编辑框6,
        Unit::编辑框5, Unit::按钮5}},
  };
  for (const TabCase& c : cases) {
    SCOPED_TRACE(c.name);
    Game game;
    ASSERT_TRUE(game.Write("ra2.ini", Video("800", "600")));
    ASSERT_TRUE(!c.withRa2md || game.Write("ra2md.ini", Video("1280", "720")));
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.tool.BringToFront());
    ASSERT_TRUE(FocusBecomes(game.tool, game[Unit::按钮1]));
    const size_t count = c.order.size();
    for (size_t i = 1; i <= count; ++i) {
      ASSERT_TRUE(PressKey(VK_TAB));
      ASSERT_TRUE(FocusBecomes(game.tool, game[c.order[i % count]])) << "Tab " << i;
    }
    for (size_t i = 1; i <= count; ++i) {
      ASSERT_TRUE(PressKey(VK_TAB, {VK_SHIFT}));
      ASSERT_TRUE(FocusBecomes(game.tool, game[c.order[(count - i) % count]])) << "Shift+Tab " << i;
    }
  }
}

// Keys that must do nothing are followed by a Tab: the focus then moves one
// stop from where it was, which proves the key was handled and moved nothing.
TEST(EndToEndKeyboard, EnterShiftEscCtrlTabDoNothingSpaceClicks) {
  Game game;
  ASSERT_TRUE(game.Write("ra2.ini", Video("800", "600")));
  ASSERT_TRUE(game.Write("ra2md.ini", Video("1280", "720")));
  ASSERT_TRUE(game.Start());
  ASSERT_TRUE(game.tool.BringToFront());
  ASSERT_TRUE(FocusBecomes(game.tool, game[Unit::按钮1]));

  ASSERT_TRUE(PressKey(VK_ESCAPE, {VK_SHIFT}));
  ASSERT_TRUE(PressKey(VK_TAB));
  ASSERT_TRUE(FocusBecomes(game.tool, game[Unit::按钮2])) << "after Shift+Esc";
  EXPECT_TRUE(game.tool.Running());

  ASSERT_TRUE(PressKey(VK_TAB, {VK_CONTROL}));
  ASSERT_TRUE(PressKey(VK_TAB));
  ASSERT_TRUE(FocusBecomes(game.tool, game[Unit::编辑框1])) << "after Ctrl+Tab";

  ASSERT_TRUE(SetTextOf(game[Unit::编辑框1], "x"));
  for (Unit next : {Unit::编辑框2, Unit::按钮3}) {
    ASSERT_TRUE(PressKey(VK_TAB));
    ASSERT_TRUE(FocusBecomes(game.tool, game[next]));
  }
  ASSERT_TRUE(PressKey(VK_RETURN));
  ASSERT_TRUE(PressKey(VK_TAB));
  ASSERT_TRUE(FocusBecomes(game.tool, game[Unit::编辑框4])) << "after Enter";
  ASSERT_TRUE(PressKey(VK_TAB, {VK_SHIFT}));
  ASSERT_TRUE(FocusBecomes(game.tool, game[Unit::按钮3]));
  EXPECT_EQ(game.Text(Unit::编辑框1), "x") << "Enter clicked 按钮3";
  EXPECT_EQ(game.Text(Unit::编辑框2), "600");

  ASSERT_TRUE(PressKey(VK_SPACE));
  EXPECT_TRUE(TextBecomes(game[Unit::编辑框1], ScreenWidth()));
  EXPECT_TRUE(TextBecomes(game[Unit::编辑框2], ScreenHeight()));
  EXPECT_EQ(game.Text(Unit::编辑框4), "1280");
  EXPECT_TRUE(FocusBecomes(game.tool, game[Unit::按钮3]));
}

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

// A window of the driver's own, to take the activation away from the tool.
class OtherWindow {
 public:
  OtherWindow()
      : window_(CreateTestWindow("RelvantaDriverWindow", PlainWindowProc,
                                 WS_OVERLAPPEDWINDOW | WS_VISIBLE)) {}
  ~OtherWindow() {
    if (window_) DestroyWindow(window_);
  }
  HWND Handle() const { return window_; }

 private:
  HWND window_;
};

TEST(EndToEndKeyboard, FocusComesBackAfterDeactivation) {
  Game game;
  ASSERT_TRUE(game.Write("ra2.ini", Video("800", "600")));
  ASSERT_TRUE(game.Start());
  ASSERT_TRUE(game.tool.BringToFront());
  ASSERT_TRUE(FocusBecomes(game.tool, game[Unit::按钮1]));
  for (Unit next : {Unit::按钮2, Unit::编辑框1, Unit::编辑框2}) {
    ASSERT_TRUE(PressKey(VK_TAB));
    ASSERT_TRUE(FocusBecomes(game.tool, game[next]));
  }
  OtherWindow other;
  ASSERT_NE(other.Handle(), nullptr);
  auto front = [](HWND window) { return [window] { return GetForegroundWindow() == window; }; };

  // Asked for by the program.
  SetForegroundWindow(other.Handle());
  ASSERT_TRUE(WaitUntil(front(other.Handle())));
  // Wine tells the driver's window of its own activation a little later;
  // left unread, that notice would take the activation back from the tool.
  DrainOwnMessages();
  ASSERT_TRUE(WaitUntil([&] { return game.tool.Active() == nullptr; })) << "the tool stays active";
  ASSERT_TRUE(game.tool.BringToFront());
  EXPECT_TRUE(FocusBecomes(game.tool, game[Unit::编辑框2]));

  // By the mouse: a click on the other window, then on the tool's caption.
  ASSERT_TRUE(PressKey(VK_TAB));
  ASSERT_TRUE(FocusBecomes(game.tool, game[Unit::按钮3]));
  ASSERT_TRUE(ClickAt(Centre(ScreenRect(other.Handle()))));
  ASSERT_TRUE(WaitUntil(front(other.Handle())));
  DrainOwnMessages();
  ASSERT_TRUE(WaitUntil([&] { return game.tool.Active() == nullptr; })) << "the tool stays active";
  const RECT outer = ScreenRect(game.tool.Main());
  ASSERT_TRUE(ClickAt({outer.left + 100, outer.top + GetSystemMetrics(SM_CYFIXEDFRAME) +
                                             GetSystemMetrics(SM_CYCAPTION) / 2}));
  ASSERT_TRUE(WaitUntil(front(game.tool.Main())));
  EXPECT_TRUE(FocusBecomes(game.tool, game[Unit::按钮3]));
}

// ----------------------------------------------------------------------------
// Mouse

TEST(EndToEndMouse, ClicksCopyAndRereadOnlyWhereAFileWasFound) {
  Game game;
  ASSERT_TRUE(game.Write("ra2.ini", Video("800", "600")));
  ASSERT_TRUE(game.Start());
  ASSERT_TRUE(game.tool.BringToFront());
  ExpectGroup(game, Ra2mdMissing());

  // 按钮4 lies inside the disabled group box; the click on 按钮3 after it
  // shows that the first one was handled too.
  ASSERT_TRUE(SetTextOf(game[Unit::编辑框6], "1"));
  ASSERT_TRUE(game.Click(Unit::按钮4));
  ASSERT_TRUE(game.Click(Unit::按钮3));
  EXPECT_TRUE(TextBecomes(game[Unit::编辑框1], ScreenWidth()));
  EXPECT_TRUE(TextBecomes(game[Unit::编辑框2], ScreenHeight()));
  ExpectScreenFields(game);
  ExpectGroup(game, Ra2mdMissing());

  ASSERT_TRUE(game.Click(Unit::按钮5));
  ExpectGroup(game, Ra2Found("800", "600"));
  ExpectGroup(game, Ra2mdMissing());

  ASSERT_TRUE(game.Click(Unit::按钮1));
  EXPECT_TRUE(TextBecomes(game[Unit::编辑框1], ScreenWidth()));
  EXPECT_TRUE(TextBecomes(game[Unit::编辑框2], ScreenHeight()));
  ExpectGroup(game, Ra2mdMissing());

  ASSERT_TRUE(game.Write("ra2md.ini", Video("1280", "720")));
  ASSERT_TRUE(game.Click(Unit::按钮5));
  ExpectGroup(game, Ra2mdFound("1280", "720"));
  ExpectGroup(game, Ra2Found("800", "600"));

  ASSERT_TRUE(game.Click(Unit::按钮4));
  ExpectGroup(game, Ra2mdFound(ScreenWidth(), ScreenHeight()));
  ExpectGroup(game, Ra2Found("800", "600"));

  ASSERT_TRUE(game.Click(Unit::按钮5));
  ExpectGroup(game, Ra2mdFound("1280", "720"));
  ASSERT_TRUE(game.Click(Unit::按钮1));
  ExpectGroup(game, Ra2Found(ScreenWidth(), ScreenHeight()));
  ExpectGroup(game, Ra2mdFound(ScreenWidth(), ScreenHeight()));
}

// ----------------------------------------------------------------------------
// Closing

struct CloseCase {
  const char* name;
  std::function<::testing::AssertionResult(const ToolProcess&)> close;
};

::testing::AssertionResult Sent(bool done, const char* what) {
  if (done) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "can't " << what;
}

TEST(EndToEndClosing, EveryWayEndsWithExitCodeZero) {
  const CloseCase cases[] = {
      {"Esc", [](const ToolProcess&) { return Sent(PressKey(VK_ESCAPE), "press Esc"); }},
      {"Alt+F4",
       [](const ToolProcess&) { return Sent(PressKey(VK_F4, {VK_MENU}), "press Alt+F4"); }},
      {"system menu by Alt+Space then C",
       [](const ToolProcess& tool) {
         if (!PressKey(VK_SPACE, {VK_MENU})) return Sent(false, "press Alt+Space");
         const DWORD process = tool.ProcessId();
         const bool open = WaitUntil([process] {
           HWND menu = FindWindowA("#32768", nullptr);
           DWORD owner = 0;
           GetWindowThreadProcessId(menu, &owner);
           return menu && owner == process && IsWindowVisible(menu);
         });
         if (!open) return Sent(false, "see the system menu open");
         return Sent(PressKey('C'), "press C");
       }},
      {"close box click",
       [](const ToolProcess& tool) {
         const POINT box = MapCaption(tool.Main()).At(HTCLOSE);
         if (box.x < 0) return Sent(false, "find the close box");
         return Sent(ClickAt(box), "click the close box");
       }},
      {"WM_SYSCOMMAND SC_CLOSE",
       [](const ToolProcess& tool) {
         return Sent(PostMessageA(tool.Main(), WM_SYSCOMMAND, SC_CLOSE, 0), "post SC_CLOSE");
       }},
      {"WM_CLOSE",
       [](const ToolProcess& tool) {
         return Sent(PostMessageA(tool.Main(), WM_CLOSE, 0, 0), "post WM_CLOSE");
       }},
  };
  for (const CloseCase& c : cases) {
    SCOPED_TRACE(c.name);
    Game game;
    ASSERT_TRUE(game.Write("ra2.ini", Video("800", "600")));
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.tool.BringToFront());
    ASSERT_TRUE(FocusBecomes(game.tool, game[Unit::按钮1]));
    ASSERT_TRUE(c.close(game.tool));
    EXPECT_TRUE(game.tool.ExitsWith(0));
    EXPECT_EQ(game.Read("ra2.ini"), Video("800", "600")) << "closing wrote the file";
  }
}

TEST(EndToEndClosing, TwoCopiesWorkSideBySide) {
  Game first, second;
  ASSERT_TRUE(first.Write("ra2.ini", Video("800", "600")));
  ASSERT_TRUE(second.Write("ra2.ini", Video("1024", "768")));
  ASSERT_TRUE(second.Write("ra2md.ini", Video("1280", "720")));
  ASSERT_TRUE(first.Start());
  ASSERT_TRUE(second.Start());
  ASSERT_NE(first.tool.Main(), second.tool.Main());
  ExpectGroup(first, Ra2Found("800", "600"));
  ExpectGroup(first, Ra2mdMissing());
  ExpectGroup(second, Ra2Found("1024", "768"));
  ExpectGroup(second, Ra2mdFound("1280", "720"));

  // Both lie at the same place: a click reaches only the one in front.
  ASSERT_TRUE(second.tool.BringToFront());
  ASSERT_TRUE(second.Click(Unit::按钮3));
  EXPECT_TRUE(TextBecomes(second[Unit::编辑框1], ScreenWidth()));
  EXPECT_EQ(first.Text(Unit::编辑框1), "800");

  ASSERT_TRUE(PressKey(VK_ESCAPE));
  EXPECT_TRUE(second.tool.ExitsWith(0));
  ASSERT_TRUE(first.tool.Running());
  ASSERT_TRUE(first.tool.BringToFront());
  ASSERT_TRUE(first.Click(Unit::按钮3));
  EXPECT_TRUE(TextBecomes(first[Unit::编辑框2], ScreenHeight()));
  ASSERT_TRUE(PressKey(VK_ESCAPE));
  EXPECT_TRUE(first.tool.ExitsWith(0));
}

// ----------------------------------------------------------------------------
// The typical run: copy the screen size, write it, read the message

TEST(EndToEndRun, CopyThenWriteRa2Only) {
  Game game;
  ASSERT_TRUE(game.Write("ra2.ini", Video("800", "600")));
  ASSERT_TRUE(game.Start());
  ASSERT_TRUE(game.tool.BringToFront());
  ASSERT_TRUE(game.Click(Unit::按钮3));
  ExpectGroup(game, Ra2Found(ScreenWidth(), ScreenHeight()));
  ASSERT_TRUE(game.Click(Unit::按钮2));

  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = game.tool.FindDialog()) != nullptr; }))
      << "no message box";
  EXPECT_EQ(GetAncestor(box, GA_PARENT), GetDesktopWindow());
  EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
  EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)), "恭喜！RA2 数据写入成功，请开始你的表演！");
  EXPECT_EQ(TextOf(box), "配置文件写入成功");
  EXPECT_FALSE(IsWindowEnabled(game.tool.Main())) << "the box is not task-modal";
  EXPECT_TRUE(game.tool.Running());

  HWND ok = GetDlgItem(box, IDOK);
  ASSERT_NE(ok, nullptr);
  ASSERT_TRUE(ClickAt(Centre(ScreenRect(ok))));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); })) << "the click on OK left the box open";
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(game.tool.Main()) != FALSE; }));
  EXPECT_TRUE(game.tool.Running());

  const std::string ra2 = game.File("ra2.ini");
  EXPECT_EQ(StoredVideoValue(ra2, "ScreenWidth"), ScreenWidth());
  EXPECT_EQ(StoredVideoValue(ra2, "ScreenHeight"), ScreenHeight());
  EXPECT_EQ(StoredVideoValue(ra2, "AllowHiResModes"), "yes");
  EXPECT_EQ(GetFileAttributesA(game.File("ra2md.ini").c_str()), INVALID_FILE_ATTRIBUTES)
      << "ra2md.ini was created";
  EXPECT_EQ(ReadFileBytes(game.Decoy("ra2.ini")), Video("640", "480"));
  ExpectGroup(game, Ra2Found(ScreenWidth(), ScreenHeight()));
  // Detection for writing words the missing file's caption apart from the start's.
  GroupView missing = Ra2mdMissing();
  missing.caption = "未获取到 RA2MD 配置文件";
  ExpectGroup(game, missing);
}

}  // namespace
