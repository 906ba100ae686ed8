// Message boxes of the tool: task-modal unless asked to be system-modal.
#pragma once

#include <cstdint>

#include "ui/main_window.h"

// Who owns a box: nobody, a window of the program, or a raw window handle.
struct MessageOwner {
  enum class Kind { None, Unit, Handle } kind = Kind::None;
  ::Unit unit = ::Unit::MainWindow;
  std::uintptr_t handle = 0;

  static MessageOwner Nobody() { return {}; }
  static MessageOwner Of(::Unit unit) { return {Kind::Unit, unit, 0}; }
  static MessageOwner OfHandle(std::uintptr_t handle) {
    return {Kind::Handle, ::Unit::MainWindow, handle};
  }
};

constexpr int kMessageSystemModal = 0x1000;
constexpr int kMessageTaskModal = 0x2000;

// Shows `text` and returns once the box is closed: 0 for OK (and for a box
// that could not be shown), 1 Cancel, 2 Abort, 3 Retry, 4 Ignore, 5 Yes, 6 No.
// A caption left out (null) is "信息：".
int ShowMessage(const char* text, int flags = 0, const char* caption = nullptr,
                MessageOwner owner = MessageOwner::Nobody());
