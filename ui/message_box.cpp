#include "ui/message_box.h"

#include "ui/texts.h"
#include "ui/window_handles.h"

namespace {

HWND OwnerWindow(const MessageOwner& owner) {
  switch (owner.kind) {
    case MessageOwner::Kind::Unit:
      return WindowOf(owner.unit);  // null once it is gone
    case MessageOwner::Kind::Handle:
      return reinterpret_cast<HWND>(owner.handle);
    case MessageOwner::Kind::None:
      break;
  }
  return nullptr;
}

int ButtonIndex(int result) {
  switch (result) {
    case IDCANCEL:
      return 1;
    case IDABORT:
      return 2;
    case IDRETRY:
      return 3;
    case IDIGNORE:
      return 4;
    case IDYES:
      return 5;
    case IDNO:
      return 6;
  }
  return 0;  // IDOK, and a box that failed to show
}

}  // namespace

int ShowMessage(const char* text, int flags, const char* caption, MessageOwner owner) {
  const UINT style = static_cast<UINT>(flags) |
                     ((flags & kMessageSystemModal) ? 0 : static_cast<UINT>(kMessageTaskModal));
  return ButtonIndex(PutMessageBox(OwnerWindow(owner), text, caption ? caption : "信息：", style));
}
