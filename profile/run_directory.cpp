#include "profile/run_directory.h"

#include <windows.h>

namespace {

TextValue runDirectory;

// Offset of the last backslash in `path`, or -1. The trail byte of a
// double-byte character may be 0x5C and must not be taken for one.
long LastBackslash(const char* path) {
  long last = -1;
  for (const char* p = path; *p != '\0';) {
    if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] != '\0') {
      p += 2;
      continue;
    }
    if (*p == '\\') last = static_cast<long>(p - path);
    ++p;
  }
  return last;
}

}  // namespace

TextValue ExecutablePath() {
  for (DWORD size = MAX_PATH;; size *= 2) {
    TextValue path = TextValue::Allocate(size);
    const DWORD length = GetModuleFileNameA(nullptr, path.MutableBytes(), size);
    // A result that fills the whole buffer means the path was cut.
    if (length < size) return length == 0 ? TextValue() : TextValue::Copy(path.Bytes(), length);
  }
}

void FixRunDirectory(const char* executablePath) {
  const char* path = executablePath ? executablePath : "";
  const long cut = LastBackslash(path);
  runDirectory = cut < 0 ? TextValue() : TextValue::Copy(path, static_cast<std::size_t>(cut));
}

TextValue GetRunDirectory() {
  if (runDirectory.Length() == 0) return TextValue();
  return TextValue::Of(runDirectory.Bytes());
}
