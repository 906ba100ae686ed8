// The run directory: the folder that holds the tool's executable, without a
// trailing backslash. Every configuration path is built from it.
#pragma once

#include "profile/text_value.h"

// The executable's full path, however long: a cut path would name another folder.
TextValue ExecutablePath();

// Fixes the run directory as the folder of `executablePath`: the bytes before
// its last backslash, stepping over double-byte characters, empty when it has none.
void FixRunDirectory(const char* executablePath);

// A new copy of the run directory; absent when it is empty.
TextValue GetRunDirectory();
