// Real files in fresh temporary folders, for tests that go to the disk.
#pragma once

#include <windows.h>

#include <string>

// A new empty folder under the system's temporary folder, removed with all
// it holds when the object goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  // Path of `name` inside the folder.
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// Writes `bytes` as the whole file; false when it can't.
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// The whole file, or "<missing>" when it can't be read.
std::string ReadFileBytes(const std::string& path);
// A key of the file's Video section as the platform reads it, bypassing the
// tool's own code; "<missing>" when it can't be read.
std::string StoredVideoValue(const std::string& path, const char* key);
// Last-write time of a file, 0 when it can't be read.
unsigned long long LastWriteTime(const std::string& path);

// Holds a file open without sharing writes, so the platform can't write it.
class WriteLock {
 public:
  explicit WriteLock(const std::string& path);
  ~WriteLock();
  WriteLock(const WriteLock&) = delete;
  WriteLock& operator=(const WriteLock&) = delete;
  bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};
