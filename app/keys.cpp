#include "app/event_loop.h"
#include "ui/focus.h"
#include "ui/window_handles.h"

namespace {

bool Held(int key) {
  return GetKeyState(key) < 0;
}

}  // namespace

bool PreTranslateKeys(const MSG& message) {
  if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST && message.hwnd &&
      !IsWindowEnabled(message.hwnd)) {
    return false;
  }
  Unit unit;
  if (!UnitOfWindow(message.hwnd, &unit)) return false;
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
  const bool ctrl = Held(VK_CONTROL), shift = Held(VK_SHIFT), alt = Held(VK_MENU);
  switch (message.wParam) {
    case VK_TAB:
      if (ctrl || alt) return false;
      MoveFocus(message.hwnd, !shift);
      return true;
    case VK_ESCAPE:
      if (ctrl || shift || alt) return false;
      SendMessageA(WindowOf(Unit::MainWindow), WM_CLOSE, 0, 0);
      return true;
  }
  // Enter, the arrows, F1 and Alt with a key reach the control unchanged:
  // there is no default button, no radio group, no help and no mnemonic.
  return false;
}

void HandleQueuedMessage(MSG& message) {
  if (PreTranslateKeys(message)) return;
  TranslateMessage(&message);
  DispatchMessageA(&message);
}
