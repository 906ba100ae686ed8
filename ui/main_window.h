// MainWindow as the logic sees it: named controls and the three operations
// on them. No Windows header here, so the logic stays free of the platform.
#pragma once

#include "profile/text_value.h"

// The window and its twenty controls. The value of each control is its
// number in the window's stored order, which fixes stacking and Tab order.
enum class Unit : int {
  MainWindow = 0,
  按钮5 = 1,
  分组框3,
  标签5,
  编辑框5,
  编辑框6,
  标签6,
  分组框2,
  按钮4,
  标签3,
  编辑框3,
  编辑框4,
  标签4,
  按钮3,
  标签2,
  编辑框2,
  编辑框1,
  标签1,
  按钮2,
  按钮1,
  分组框1,
};
constexpr int kControlCount = 20;

// Creates MainWindow and all its controls, hidden; false when any of them
// can't be created (nothing is left behind then).
bool CreateMainWindow();
// Shows the created window; Windows activates it and the focus goes to 按钮1.
void ShowMainWindow();
void DestroyMainWindow();
// False once the window has been destroyed, for example by a close handled
// inside a wait: routines must then leave the controls alone.
bool MainWindowExists();

// Replaces an edit box's text or a group box's caption; absent empties it.
void SetText(Unit unit, const char* text);
// A new text holding the edit box's current text; absent when it is empty.
TextValue GetText(Unit unit);
// Disables (true) or enables (false) a control; the controls inside a
// disabled group box take no input.
void SetDisabled(Unit unit, bool disabled);
