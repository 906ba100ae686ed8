#include "ui/main_window.h"

#include "app/program.h"
#include "ui/edit_box.h"
#include "ui/event_bindings.h"
#include "ui/focus.h"
#include "ui/layout.h"
#include "ui/texts.h"
#include "ui/window_handles.h"

namespace {

constexpr char kWindowClass[] = "RelvantaMainWindow";

HWND mainWindow;
HWND controls[kControlCount + 1];  // indexed by Unit; [0] is MainWindow
HWND rememberedFocus;
WNDPROC platformGroupBoxProc;
HICON bigIcon, smallIcon;

HINSTANCE Instance() {
  return GetModuleHandleA(nullptr);
}

// Controls inside a group box notify the group box; the main window handles
// their clicks and colours, so the group box passes those on.
LRESULT CALLBACK GroupBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return SendMessageA(GetParent(box), message, wParam, lParam);
    case WM_ERASEBKGND: {
      // The main window clips its children, so the group box fills its own inside.
      RECT inside;
      GetClientRect(box, &inside);
      FillRect(reinterpret_cast<HDC>(wParam), &inside, GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
  }
  return CallWindowProcA(platformGroupBoxProc, box, message, wParam, lParam);
}

// The visual style draws a group box's caption in the theme's colour, which
// some themes (Wine's own) give no disabled shade, so a disabled box would
// keep a black caption. Drawn without the style, the caption takes the
// platform's disabled look. uxtheme is loaded by the common controls that
// draw themed buttons; where it is not loaded, nothing is themed anyway.
void DrawGroupBoxUnthemed(HWND box) {
  HMODULE uxtheme = GetModuleHandleA("uxtheme.dll");
  if (uxtheme == nullptr) return;
  using SetWindowThemeFunction = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
  const auto setWindowTheme = reinterpret_cast<SetWindowThemeFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(uxtheme, "SetWindowTheme")));
  if (setWindowTheme) setWindowTheme(box, L" ", L" ");  // no class matches a blank
}

void OnCommand(HWND control, UINT code) {
  Unit unit;
  if (code == BN_CLICKED && UnitOfWindow(control, &unit)) RaiseClick(unit);
}

HBRUSH OnCtlColor(HWND control, HDC dc, bool isEdit) {
  return ColourControl(control, dc, isEdit);
}

// Deactivation remembers the focused control, so it gets the focus back.
void OnActivate(HWND window, UINT state, BOOL minimized) {
  if (state == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && IsChild(window, focus)) rememberedFocus = focus;
  } else if (!minimized) {
    SetFocus(window);
  }
}

// The window passes the focus on: to the remembered control, else to the
// first tab stop.
void OnSetFocus(HWND window) {
  HWND target = (rememberedFocus && IsWindow(rememberedFocus) && IsChild(window, rememberedFocus))
                    ? rememberedFocus
                    : FirstFocusCandidate();
  if (target) SetFocus(target);
}

void OnDestroy() {
  if (LoopStarted()) PostQuitMessage(0);
}

// However the window goes, by a close or by the program, its icons go with it.
void OnNcDestroy() {
  for (HICON* icon : {&bigIcon, &smallIcon}) {
    if (*icon) DestroyIcon(*icon);
    *icon = nullptr;
  }
  mainWindow = nullptr;
  for (HWND& control : controls) control = nullptr;
  rememberedFocus = nullptr;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      return 0;
    case WM_CTLCOLOREDIT:
      return reinterpret_cast<LRESULT>(
          OnCtlColor(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam), true));
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<LRESULT>(
          OnCtlColor(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam), false));
    case WM_ACTIVATE:
      OnActivate(window, LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_SETFOCUS:
      OnSetFocus(window);
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_NCDESTROY:
      OnNcDestroy();
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterMainWindowClass() {
  WNDCLASSEXA windowClass = {};
  if (GetClassInfoExA(Instance(), kWindowClass, &windowClass)) return true;
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = Instance();
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  return RegisterClassExA(&windowClass) != 0;
}

// Centred on the primary screen; the division truncates toward zero.
bool CreateFrame() {
  const int width = kWindowLayout.width, height = kWindowLayout.height;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  mainWindow =
      CreateWindowExA(WS_EX_APPWINDOW, kWindowClass, nullptr,
                      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
                      left, top, width, height, nullptr, nullptr, Instance(), nullptr);
  if (mainWindow == nullptr) return false;
  controls[0] = mainWindow;
  PutWindowText(mainWindow, kWindowLayout.title);
  RECT outer;
  GetWindowRect(mainWindow, &outer);
  if (outer.right - outer.left != width || outer.bottom - outer.top != height) {
    SetWindowPos(mainWindow, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return true;
}

// The program's icon, loaded at 32 and at 16 pixels; a build without it
// (the tests) simply shows the platform's.
void GiveIcons() {
  bigIcon = static_cast<HICON>(LoadImageA(Instance(), "DEFAULT_ICON", IMAGE_ICON, 32, 32, 0));
  smallIcon = static_cast<HICON>(LoadImageA(Instance(), "DEFAULT_ICON", IMAGE_ICON, 16, 16, 0));
  if (bigIcon) SendMessageA(mainWindow, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
  if (smallIcon) {
    SendMessageA(mainWindow, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
  }
}

const char* ClassOf(Kind kind) {
  switch (kind) {
    case Kind::Label:
      return "Static";
    case Kind::EditBox:
      return "Edit";
    case Kind::GroupBox:
    case Kind::Button:
      break;
  }
  return "Button";
}

bool CreateControl(const ControlLayout& layout) {
  const DWORD style = WS_CHILD | StyleOf(layout.kind) | (layout.tabStop ? WS_TABSTOP : 0);
  // An edit box given its border at creation paints it inside its client
  // area, which is only the centred line; the border is added afterwards so
  // that it is the window's frame round the whole box.
  const bool framedEdit = layout.kind == Kind::EditBox && (style & WS_BORDER);
  HWND control = CreateWindowExA(
      0, ClassOf(layout.kind), nullptr, framedEdit ? style & ~WS_BORDER : style, layout.left,
      layout.top, layout.width, layout.height, WindowOf(layout.container),
      reinterpret_cast<HMENU>(ControlId(layout.unit)), Instance(), nullptr);
  if (control == nullptr) return false;
  controls[static_cast<int>(layout.unit)] = control;
  if (layout.kind == Kind::GroupBox) {
    platformGroupBoxProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GroupBoxProc)));
    DrawGroupBoxUnthemed(control);
  }
  if (layout.kind == Kind::EditBox) {
    DressEditBox(control, FontOf(layout.kind), framedEdit);
  } else {
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(layout.kind)), FALSE);
  }
  PutWindowText(control, layout.text);
  return true;
}

// Group boxes first, since they hold other controls.
bool CreateControls() {
  for (bool groupBoxes : {true, false}) {
    for (const ControlLayout& layout : kControls) {
      if ((layout.kind == Kind::GroupBox) == groupBoxes && !CreateControl(layout)) return false;
    }
  }
  return true;
}

// Within each container, a smaller stored number lies above a larger one.
void SetStackingOrder() {
  HWND above[kControlCount + 1] = {};  // last placed control of each container
  for (const ControlLayout& layout : kControls) {
    HWND& previous = above[static_cast<int>(layout.container)];
    SetWindowPos(WindowOf(layout.unit), previous ? previous : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = WindowOf(layout.unit);
  }
}

}  // namespace

HWND WindowOf(Unit unit) {
  const int index = static_cast<int>(unit);
  if (mainWindow == nullptr || index < 0 || index > kControlCount) return nullptr;
  return controls[index];
}

bool UnitOfWindow(HWND window, Unit* unit) {
  if (window == nullptr) return false;
  for (int index = 0; index <= kControlCount; ++index) {
    if (controls[index] == window) {
      *unit = static_cast<Unit>(index);
      return true;
    }
  }
  return false;
}

bool CreateMainWindow() {
  if (mainWindow) return false;
  if (!RegisterMainWindowClass() || !CreateFrame()) return false;
  GiveIcons();
  if (!CreateControls()) {
    DestroyMainWindow();
    return false;
  }
  SetStackingOrder();
  for (const ControlLayout& layout : kControls) ShowWindow(WindowOf(layout.unit), SW_SHOWNA);
  return true;
}

void ShowMainWindow() {
  if (mainWindow) ShowWindow(mainWindow, SW_SHOW);
}

void DestroyMainWindow() {
  if (mainWindow) DestroyWindow(mainWindow);
}

bool MainWindowExists() {
  return mainWindow != nullptr && IsWindow(mainWindow);
}

void SetText(Unit unit, const char* text) {
  if (HWND window = WindowOf(unit)) PutWindowText(window, text);
}

TextValue GetText(Unit unit) {
  HWND window = WindowOf(unit);
  return window ? TakeWindowText(window) : TextValue();
}

void SetDisabled(Unit unit, bool disabled) {
  if (HWND window = WindowOf(unit)) EnableWindow(window, disabled ? FALSE : TRUE);
}
