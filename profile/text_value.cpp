#include "profile/text_value.h"

#include <cstdlib>
#include <cstring>

#include "app/fatal_stop.h"

namespace {

// Every text's memory comes from here, so a failed allocation always ends
// the program with the number of bytes it asked for.
char* AllocateBytes(std::size_t size) {
  void* memory = std::malloc(size);
  if (memory == nullptr) FatalStopOutOfMemory(size);
  return static_cast<char*>(memory);
}

}  // namespace

TextValue TextValue::Allocate(std::size_t length) {
  // A length whose terminating byte can't be counted can't be allocated either.
  if (length == static_cast<std::size_t>(-1)) FatalStopOutOfMemory(length);
  TextValue text;
  text.bytes_ = AllocateBytes(length + 1);
  text.bytes_[0] = '\0';
  text.bytes_[length] = '\0';
  return text;
}

TextValue TextValue::Copy(const char* bytes, std::size_t length) {
  TextValue text = Allocate(length);
  if (length != 0) std::memcpy(text.bytes_, bytes, length);
  return text;
}

TextValue TextValue::Of(const char* bytes) {
  if (bytes == nullptr) return TextValue();
  return Copy(bytes, std::strlen(bytes));
}

TextValue& TextValue::operator=(TextValue&& other) noexcept {
  if (this != &other) {
    std::free(bytes_);
    bytes_ = other.bytes_;
    other.bytes_ = nullptr;
  }
  return *this;
}

TextValue::~TextValue() {
  std::free(bytes_);
}

std::size_t TextValue::Length() const {
  return bytes_ ? std::strlen(bytes_) : 0;
}

TextValue ConcatText(std::initializer_list<const char*> parts) {
  std::size_t total = 0;
  for (const char* part : parts) {
    const std::size_t length = part ? std::strlen(part) : 0;
    // A sum that would wrap asks for more memory than there is.
    if (total + length < total) FatalStopOutOfMemory(static_cast<std::size_t>(-1));
    total += length;
  }
  TextValue joined = TextValue::Allocate(total);
  char* out = joined.MutableBytes();
  for (const char* part : parts) {
    if (part == nullptr) continue;
    const std::size_t length = std::strlen(part);
    std::memcpy(out, part, length);
    out += length;
  }
  *out = '\0';
  return joined;
}

int CompareText(const char* a, const char* b) {
  if (a == nullptr) return (b == nullptr || *b == '\0') ? 0 : -1;
  if (b == nullptr) return *a == '\0' ? 0 : 1;
  const auto* x = reinterpret_cast<const unsigned char*>(a);
  const auto* y = reinterpret_cast<const unsigned char*>(b);
  for (;; ++x, ++y) {
    if (*x != *y) return *x < *y ? -1 : 1;
    if (*x == 0) return 0;
  }
}
