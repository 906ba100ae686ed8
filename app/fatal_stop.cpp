#include "app/fatal_stop.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <new>

#include "app/program.h"
#include "ui/texts.h"

void FatalStop(const char* message) {
  // Built on the stack: the heap may be what failed.
  char text[512];
  std::snprintf(text, sizeof text, "程序运行失败：%s", message ? message : "");
  PutMessageBox(nullptr, text, "Relvanta 错误", MB_ICONERROR);
  DropEndRoutines();
  OleUninitialize();
  ExitProcess(static_cast<UINT>(-1));
}

void FatalStopOutOfMemory(std::size_t bytes) {
  char message[128];
  std::snprintf(message, sizeof message, "内存不足，无法分配 %lu 字节。",
                static_cast<unsigned long>(bytes));
  FatalStop(message);
}

// Every allocation of the program, the standard library's included, ends
// in FatalStop when it fails, so no caller ever meets a missing object.
void* operator new(std::size_t size) {
  void* memory = std::malloc(size != 0 ? size : 1);
  if (memory == nullptr) FatalStopOutOfMemory(size);
  return memory;
}

void* operator new[](std::size_t size) {
  return operator new(size);
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete[](void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
  std::free(memory);
}
