#include "ui/event_bindings.h"

#include "logic/routines.h"

const EventBinding kEventBindings[6] = {
    {Unit::MainWindow, Event::Created, MainWindowCreated},
    {Unit::按钮1, Event::Click, Click按钮1},
    {Unit::按钮2, Event::Click, BatchSetResolution},
    {Unit::按钮3, Event::Click, Click按钮3},
    {Unit::按钮4, Event::Click, Click按钮4},
    {Unit::按钮5, Event::Click, ReadGameData},
};

void RaiseEvent(Unit unit, Event event) {
  for (const EventBinding& binding : kEventBindings) {
    if (binding.unit == unit && binding.event == event) binding.routine();
  }
}
