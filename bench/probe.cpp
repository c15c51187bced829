// The benchmarks' eyes inside Wine: a Windows console program that starts tray
// programs and times them until their icon shows, delivers timer ticks to a
// program's window and reads a process's memory figures, all from outside.
//
//   wine probe.exe startup <runs> <exe>...    time from process start to icon
//   wine probe.exe ticks <class> <count>      deliver <count> poll-timer ticks
//   wine probe.exe memory <class>             the window's process's memory
//   wine probe.exe close <class> [timeout_ms] close the window, wait for exit
//   wine probe.exe wait-icon [timeout_ms]     wait until a tray icon is visible
//
// startup runs each program <runs> times, alternating between them, and
// prints one line per run: the program's index (from 0) and the milliseconds
// from CreateProcess until one more tray icon is visible than before. Each
// program is then closed and its icon awaited gone before the next run.
//
// ticks sends WM_TIMER for timer id 1 to the top-level window of the class,
// one at a time: each SendMessage returns only after the window has handled
// the tick, so exactly <count> ticks have run when the command ends.
//
// memory prints "private <bytes>" and "working-set <bytes>" as
// GetProcessMemoryInfo reports them, and "pid <id>".
//
// Exit code: 0 success, 1 failure, 2 bad usage.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "scripts/wine_tray.h"

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr DWORD kWaitMs = 15000;
constexpr UINT kSendTimeoutMs = 10000;

int Fail(const wchar_t* what) {
  std::fwprintf(stderr, L"probe: %ls (error %lu)\n", what, GetLastError());
  return 1;
}

int Usage() {
  std::fwprintf(stderr,
                L"usage: probe startup <runs> <exe>... | ticks <class> <count> | "
                L"memory <class> | close <class> [timeout_ms] | wait-icon [timeout_ms]\n");
  return 2;
}

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Visible icons in Wine's tray.
int VisibleIcons() { return static_cast<int>(wine_tray::Icons().size()); }

template <typename Ready>
bool WaitFor(DWORD timeout_ms, DWORD poll_ms, Ready ready) {
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    if (ready()) return true;
    if (GetTickCount64() - start >= timeout_ms) return false;
    Sleep(poll_ms);
  }
}

struct FindArgs {
  const wchar_t* class_name;
  DWORD pid;  // 0: any process
  HWND found;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM param) {
  auto* args = reinterpret_cast<FindArgs*>(param);
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (std::wcscmp(name, args->class_name) == 0 && (args->pid == 0 || args->pid == pid)) {
    args->found = window;
    return FALSE;
  }
  return TRUE;
}

// The top-level window of the class (hidden ones too), of the process if one
// is given.
HWND FindWindowOf(const wchar_t* class_name, DWORD pid = 0) {
  FindArgs args{class_name, pid, nullptr};
  EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&args));
  return args.found;
}

BOOL CALLBACK CloseProcessWindows(HWND window, LPARAM pid) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == static_cast<DWORD>(pid)) PostMessageW(window, WM_CLOSE, 0, 0);
  return TRUE;
}

// Ends a program the way its own window would: WM_CLOSE to its windows, then
// waits for the process; ends it the hard way if it does not exit.
void EndProcess(const PROCESS_INFORMATION& process) {
  EnumWindows(CloseProcessWindows, static_cast<LPARAM>(process.dwProcessId));
  if (WaitForSingleObject(process.hProcess, kWaitMs) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, kWaitMs);
  }
}

int CmdStartup(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  const int runs = _wtoi(argv[0]);
  if (runs < 1) return Usage();
  const int baseline = VisibleIcons();
  for (int run = 0; run < runs; ++run) {
    for (int index = 1; index < argc; ++index) {
      std::wstring command = L"\"" + std::wstring(argv[index]) + L"\"";
      STARTUPINFOW startup{};
      startup.cb = sizeof startup;
      PROCESS_INFORMATION process{};
      const double start = Now();
      if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return Fail(L"CreateProcess");
      }
      // Polled every millisecond: the figure is good to about that.
      const bool shown = WaitFor(kWaitMs, 1, [&] { return VisibleIcons() > baseline; });
      const double elapsed = Now() - start;
      EndProcess(process);
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
      if (!shown) return Fail(L"no tray icon appeared");
      if (!WaitFor(kWaitMs, 5, [&] { return VisibleIcons() <= baseline; })) {
        return Fail(L"the tray icon stayed after the program ended");
      }
      std::wprintf(L"%d %.2f\n", index - 1, elapsed);
      std::fflush(stdout);
    }
  }
  return 0;
}

int CmdTicks(int argc, wchar_t** argv) {
  if (argc != 2) return Usage();
  const long count = _wtol(argv[1]);
  const HWND window = FindWindowOf(argv[0]);
  if (window == nullptr) return Fail(L"no such window");
  for (long i = 0; i < count; ++i) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, WM_TIMER, kTimerId, 0, SMTO_NORMAL, kSendTimeoutMs, &result)) {
      return Fail(L"the window did not take a tick");
    }
  }
  return 0;
}

int CmdMemory(int argc, wchar_t** argv) {
  if (argc != 1) return Usage();
  const HWND window = FindWindowOf(argv[0]);
  if (window == nullptr) return Fail(L"no such window");
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (process == nullptr) return Fail(L"OpenProcess");
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  const BOOL ok = GetProcessMemoryInfo(
      process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  CloseHandle(process);
  if (!ok) return Fail(L"GetProcessMemoryInfo");
  std::wprintf(L"pid %lu\nprivate %lu\nworking-set %lu\n", pid,
               static_cast<unsigned long>(counters.PrivateUsage),
               static_cast<unsigned long>(counters.WorkingSetSize));
  return 0;
}

int CmdClose(int argc, wchar_t** argv) {
  if (argc < 1 || argc > 2) return Usage();
  const DWORD timeout = argc == 2 ? static_cast<DWORD>(_wtol(argv[1])) : kWaitMs;
  const HWND window = FindWindowOf(argv[0]);
  if (window == nullptr) return 0;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  PostMessageW(window, WM_CLOSE, 0, 0);
  if (process == nullptr) return 0;
  const DWORD waited = WaitForSingleObject(process, timeout);
  CloseHandle(process);
  return waited == WAIT_OBJECT_0 ? 0 : Fail(L"the program did not exit");
}

int CmdWaitIcon(int argc, wchar_t** argv) {
  if (argc > 1) return Usage();
  const DWORD timeout = argc == 1 ? static_cast<DWORD>(_wtol(argv[0])) : kWaitMs;
  if (!WaitFor(timeout, 5, [] { return VisibleIcons() > 0; })) return Fail(L"no tray icon");
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  const std::wstring command = argv[1];
  if (command == L"startup") return CmdStartup(argc - 2, argv + 2);
  if (command == L"ticks") return CmdTicks(argc - 2, argv + 2);
  if (command == L"memory") return CmdMemory(argc - 2, argv + 2);
  if (command == L"close") return CmdClose(argc - 2, argv + 2);
  if (command == L"wait-icon") return CmdWaitIcon(argc - 2, argv + 2);
  return Usage();
}
