// The six events of MainWindow that run a routine of the tool.
#pragma once

#include "ui/main_window.h"

enum class Event { Created, Click };

struct EventBinding {
  Unit unit;
  Event event;
  void (*routine)();
};

extern const EventBinding kEventBindings[6];

// Runs the routine bound to the event, if any, to its end.
void RaiseEvent(Unit unit, Event event);
inline void RaiseCreated() {
  RaiseEvent(Unit::MainWindow, Event::Created);
}
inline void RaiseClick(Unit unit) {
  RaiseEvent(unit, Event::Click);
}
