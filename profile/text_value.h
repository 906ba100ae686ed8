// Texts as the tool exchanges them: zero-ended byte runs in the ANSI code
// page (936 for the Chinese texts), or absent. Absent and empty mean the same
// to every operation; they are kept apart only so callers can tell a new
// empty text from no text at all.
#pragma once

#include <cstddef>
#include <initializer_list>

class TextValue {
 public:
  TextValue() = default;
  // A new text holding the first `length` bytes of `bytes`.
  static TextValue Copy(const char* bytes, std::size_t length);
  // A new text holding `bytes` up to its zero byte; absent for null.
  static TextValue Of(const char* bytes);
  // A new text of `length` bytes to be filled by the caller, zero-ended.
  static TextValue Allocate(std::size_t length);

  TextValue(TextValue&& other) noexcept : bytes_(other.bytes_) { other.bytes_ = nullptr; }
  TextValue& operator=(TextValue&& other) noexcept;
  TextValue(const TextValue&) = delete;
  TextValue& operator=(const TextValue&) = delete;
  ~TextValue();

  bool IsAbsent() const { return bytes_ == nullptr; }
  // The bytes, or the empty text when absent: safe to hand to any API.
  const char* Bytes() const { return bytes_ ? bytes_ : ""; }
  char* MutableBytes() { return bytes_; }
  std::size_t Length() const;

 private:
  char* bytes_ = nullptr;
};

// The parts one after the other in a new text; never absent. A null part is
// an absent text and adds nothing.
TextValue ConcatText(std::initializer_list<const char*> parts);

// -1, 0 or 1 as `a` sorts before, equal to or after `b`, byte by byte as
// unsigned values; absent equals empty. No folding of case or blanks.
int CompareText(const char* a, const char* b);
