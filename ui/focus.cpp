#include "ui/focus.h"

#include "ui/layout.h"
#include "ui/window_handles.h"

namespace {

// The Tab order is the stored order read backwards, tab stops only.
int TabOrder(Unit order[kControlCount]) {
  int count = 0;
  for (int i = kControlCount - 1; i >= 0; --i) {
    if (kControls[i].tabStop) order[count++] = kControls[i].unit;
  }
  return count;
}

// A stop takes the focus when it exists, is visible, is enabled by its own
// state and does not lie inside a disabled group box.
bool IsCandidate(Unit unit) {
  HWND window = WindowOf(unit);
  if (window == nullptr || !IsWindowVisible(window) || !IsWindowEnabled(window)) return false;
  const Unit container = LayoutOf(unit).container;
  return container == Unit::MainWindow || IsWindowEnabled(WindowOf(container));
}

}  // namespace

HWND FirstFocusCandidate() {
  Unit order[kControlCount];
  const int count = TabOrder(order);
  for (int i = 0; i < count; ++i) {
    if (IsCandidate(order[i])) return WindowOf(order[i]);
  }
  return nullptr;
}

void MoveFocus(HWND current, bool forward) {
  Unit unit;
  if (!UnitOfWindow(current, &unit) || unit == Unit::MainWindow) return;
  Unit order[kControlCount];
  const int count = TabOrder(order);
  int position = -1;
  for (int i = 0; i < count; ++i) {
    if (order[i] == unit) position = i;
  }
  // A control outside the order starts the walk before the first stop
  // (forward) or after the last (backward).
  if (position < 0) position = forward ? -1 : count;
  const int step = forward ? 1 : -1;
  for (int moved = 1; moved <= count; ++moved) {
    const int index = ((position + step * moved) % count + count) % count;
    if (order[index] == unit) return;
    if (IsCandidate(order[index])) {
      SetFocus(WindowOf(order[index]));
      return;
    }
  }
}
