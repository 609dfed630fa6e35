#include "platform/process.h"

#include <windows.h>

// The layer's own names, not the system's macros and functions.
#undef YieldProcessor

namespace platform {

namespace {

void (*g_interruptHandler)() = nullptr;

// Runs on the thread that the system starts for the console event. FALSE
// leaves the event to the default handling, which ends the process.
BOOL WINAPI ConsoleControl(DWORD) {
  if (g_interruptHandler) g_interruptHandler();
  return FALSE;
}

}  // namespace

// Windows ends no process for a full disk or a closed console: a failing
// call says so itself.
void PrepareProcess() {}

void SetPriorityClass(int32_t priorityClass) {
  ::SetPriorityClass(GetCurrentProcess(), static_cast<DWORD>(priorityClass));
}

void MinimizeConsoleWindow() {
  // Looked up at run time: older systems have no GetConsoleWindow.
  HMODULE kernel = LoadLibraryA("kernel32.dll");
  if (!kernel) return;
  using GetConsoleWindowFunction = HWND(WINAPI*)();
  auto getConsoleWindow = reinterpret_cast<GetConsoleWindowFunction>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "GetConsoleWindow")));
  if (getConsoleWindow) {
    if (HWND window = getConsoleWindow()) {
      ShowWindow(window, SW_SHOWMINIMIZED);
      Sleep(0);
    }
  }
  ::FreeLibrary(kernel);
}

void YieldProcessor() { Sleep(0); }

void HoldInterrupts() {}

void InstallInterruptHandler(void (*handler)()) {
  static bool installed = false;
  g_interruptHandler = handler;
  if (!installed) installed = SetConsoleCtrlHandler(ConsoleControl, TRUE) != 0;
}

int CurrentYear() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return now.wYear;
}

}  // namespace platform
