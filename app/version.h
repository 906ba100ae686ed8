// The one source of the tool's version, for the version record.
#pragma once

#define RELVANTA_VERSION_BINARY 2, 2, 1, 0
#define RELVANTA_VERSION_TEXT "2.2.1.0"
