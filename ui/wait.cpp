#include "ui/wait.h"

#include <windows.h>

#include "app/event_loop.h"

namespace {

std::uint32_t SystemTicks() {
  return GetTickCount();
}

WaitClock clock = SystemTicks;

// Handles every waiting message, and every one that arrives meanwhile,
// until the queue is empty. A quit message stays for the event loop.
void ProcessPendingEvents() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) && message.message != WM_QUIT) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));  // put it back for the loop
      return;
    }
    if (got < 0) return;
    HandleQueuedMessage(message);
  }
}

void ProcessTwice() {
  ProcessPendingEvents();
  ProcessPendingEvents();
}

}  // namespace

void SetWaitClock(WaitClock replacement) {
  clock = replacement ? replacement : SystemTicks;
}

void WaitProcessingEvents(int milliseconds) {
  if (milliseconds <= 0) return;
  const std::uint32_t deadline = clock() + static_cast<std::uint32_t>(milliseconds);  // wraps
  ProcessTwice();
  while (clock() <= deadline) {
    ProcessTwice();
    ProcessTwice();
  }
}
