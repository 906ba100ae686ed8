#include "profile/profile_file.h"

#include <windows.h>

namespace {

constexpr DWORD kValueBufferSize = 10240;

// Leading control characters and blanks are not part of a name; bytes of
// 128 and above begin double-byte characters and are kept.
const char* SkipLeadingBlanks(const char* name) {
  if (name == nullptr) return "";
  const auto* p = reinterpret_cast<const unsigned char*>(name);
  while (*p >= 1 && *p <= 32) ++p;
  return reinterpret_cast<const char*>(p);
}

}  // namespace

int FileExists(const char* path) {
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA(path ? path : "", &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  FindClose(search);
  return 1;
}

TextValue ReadProfileText(const char* file, const char* section, const char* key,
                          const char* defaultText) {
  TextValue value = TextValue::Allocate(kValueBufferSize - 1);
  const char* fileName = SkipLeadingBlanks(file);
  const char* sectionName = SkipLeadingBlanks(section);
  const char* keyName = SkipLeadingBlanks(key);
  if (*fileName != '\0' && *sectionName != '\0' && *keyName != '\0') {
    // The count of bytes read is not needed: the buffer is zero-ended.
    GetPrivateProfileStringA(sectionName, keyName, defaultText ? defaultText : "",
                             value.MutableBytes(), kValueBufferSize, fileName);
  }
  if (value.Bytes()[0] == '\0') return TextValue();
  return TextValue::Of(value.Bytes());
}

int WriteProfileText(const char* file, const char* section, const char* key, const char* value) {
  return WritePrivateProfileStringA(section, key, value, file);
}
