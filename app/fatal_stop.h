// The one way the program ends on a failure it cannot go past.
#pragma once

#include <cstddef>

// Shows an error box with `message`, drops the end routines, releases OLE
// and ends the process with exit code -1.
[[noreturn]] void FatalStop(const char* message);
// FatalStop for memory that could not be had, naming the bytes asked for.
[[noreturn]] void FatalStopOutOfMemory(std::size_t bytes);
