#include "app/program.h"

#include <windows.h>

#include "app/event_loop.h"
#include "app/fatal_stop.h"
#include "profile/run_directory.h"
#include "ui/event_bindings.h"
#include "ui/layout.h"
#include "ui/main_window.h"

namespace {

bool loopStarted = false;

constexpr int kMaxEndRoutines = 8;
void (*endRoutines[kMaxEndRoutines])();
int endRoutineCount = 0;

void RunEndRoutines() {
  for (int i = 0; i < endRoutineCount; ++i) endRoutines[i]();
  endRoutineCount = 0;
}

// The program has no start-up or end-of-run work of its own.
void StartRoutine() {}
void EndRoutine() {}

// Paths are built from the run directory itself; the current directory is
// set for anything the platform resolves relative to it. A trailing
// backslash keeps a drive root such as E: from meaning that drive's own
// current folder.
void EnterRunDirectory() {
  FixRunDirectory(ExecutablePath().Bytes());
  const TextValue directory = GetRunDirectory();
  if (directory.IsAbsent()) return;
  SetCurrentDirectoryA(ConcatText({directory.Bytes(), "\\"}).Bytes());  // failure is harmless
}

}  // namespace

bool LoopStarted() {
  return loopStarted;
}

void AddEndRoutine(void (*routine)()) {
  for (int i = 0; i < endRoutineCount; ++i) {
    if (endRoutines[i] == routine) return;
  }
  if (endRoutineCount < kMaxEndRoutines) endRoutines[endRoutineCount++] = routine;
}

void DropEndRoutines() {
  endRoutineCount = 0;
}

int RunEventLoop() {
  loopStarted = true;
  if (!MainWindowExists()) return 0;
  // The shell has no idle work, so the loop blocks until a message comes.
  MSG message;
  for (;;) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got < 0) return -1;  // only with a bad argument; there is none
    HandleQueuedMessage(message);
  }
}

int RunProgram() {
  SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  OleInitialize(nullptr);  // the tool uses no OLE service that could fail visibly
  EnterRunDirectory();
  if (!LoadLayout()) FatalStop("加载窗口布局失败。");
  StartRoutine();
  AddEndRoutine(EndRoutine);
  if (!CreateMainWindow()) FatalStop("创建主窗口失败。");
  RaiseCreated();
  if (MainWindowExists()) ShowMainWindow();
  const int exitCode = RunEventLoop();
  RunEndRoutines();
  OleUninitialize();
  return exitCode;
}
