// Prints how fast the tool starts and how much memory it holds once shown.
// Figures only: nothing here passes or fails.
#include <windows.h>
// psapi.h needs windows.h first.
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "tests/e2e_driver.h"
#include "tests/test_files.h"

namespace {

constexpr int kRuns = 10;

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main() {
  TempFolder folder;
  WriteFileBytes(folder / "ra2.ini", "[Video]\r\nScreenWidth=800\r\nScreenHeight=600\r\n");
  std::vector<double> startMs;
  std::vector<double> workingSetKb;
  for (int run = 0; run < kRuns; ++run) {
    ToolProcess tool;
    LARGE_INTEGER before, after;
    QueryPerformanceCounter(&before);
    const ::testing::AssertionResult started = tool.Start(folder.Path(), folder.Path(), "");
    QueryPerformanceCounter(&after);
    if (!started) {
      std::printf("run %d: the tool did not start: %s\n", run + 1, started.message());
      return 1;
    }
    startMs.push_back(Milliseconds(before, after));
    HANDLE process =
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, tool.ProcessId());
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    if (process && K32GetProcessMemoryInfo(process, &memory, sizeof memory)) {
      workingSetKb.push_back(memory.WorkingSetSize / 1024.0);
    }
    if (process) CloseHandle(process);
    PostMessageA(tool.Main(), WM_CLOSE, 0, 0);
    tool.ExitsWith(0);
  }
  auto report = [](const char* what, std::vector<double> values, const char* unit) {
    if (values.empty()) return;
    std::sort(values.begin(), values.end());
    std::printf("%-34s min %8.1f  median %8.1f  max %8.1f %s\n", what, values.front(),
                values[values.size() / 2], values.back(), unit);
  };
  std::printf("Relvanta start-up over %d runs (start to visible window, filled fields)\n", kRuns);
  report("start to visible", startMs, "ms");
  report("working set once shown", workingSetKb, "KiB");
  return 0;
}
