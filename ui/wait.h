// A pause that keeps the window responsive: it handles every pending event
// while the time passes, and never sleeps.
#pragma once

#include <cstdint>

// Lets `milliseconds` pass while handling events; 0 or less returns at once.
void WaitProcessingEvents(int milliseconds);

// The clock of the wait, milliseconds that wrap past 2^32; null restores
// the system's tick count. Lets the wrap be shown without waiting 49 days.
using WaitClock = std::uint32_t (*)();
void SetWaitClock(WaitClock clock);
