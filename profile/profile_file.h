// One key of an INI file at a time, and the existence test of a file. Each
// call goes to the file afresh; nothing is cached and no file stays open.
#pragma once

#include "profile/text_value.h"

// 1 when a file search on `path` finds an entry (a directory counts), else 0.
int FileExists(const char* path);

// The value of `key` in `section`, or `defaultText` when it can't be read; a
// key stored empty gives absent. Names are read without leading bytes 1 to 32;
// a name that is then empty reads nothing and gives absent.
TextValue ReadProfileText(const char* file, const char* section, const char* key,
                          const char* defaultText = nullptr);

// Stores `value` under `key`; the names go to the platform unchanged. Nonzero
// on success. A null key or value is the platform's deletion.
int WriteProfileText(const char* file, const char* section, const char* key, const char* value);
