// The static look of MainWindow: window settings, the table of controls in
// stored order, and the fonts and colours of each kind of control.
#pragma once

#include <windows.h>

#include "ui/main_window.h"

enum class Kind { GroupBox, Label, EditBox, Button };

struct ControlLayout {
  Unit unit;
  Kind kind;
  Unit container;
  int left, top, width, height;  // in the container's client area
  const char* text;
  bool tabStop;
};

struct WindowLayout {
  const char* title;
  int width, height;  // outer size, frame and title bar included
};

extern const WindowLayout kWindowLayout;
// Every control, in stored order: a smaller number lies above a larger one.
extern const ControlLayout kControls[kControlCount];
const ControlLayout& LayoutOf(Unit unit);

// Creates the fonts and brushes the controls are dressed with; false when
// one of them can't be had.
bool LoadLayout();
void UnloadLayout();

// The face chosen for the Chinese texts: 微软雅黑 or, where it is missing,
// the first installed family of a short list of CJK faces.
const char* ChosenFaceName();
HFONT FontOf(Kind kind);
// Window style bits of a kind of control.
DWORD StyleOf(Kind kind);

// Colours of a control's text and background, for WM_CTLCOLOR*.
HBRUSH ColourControl(HWND control, HDC dc, bool isEdit);
