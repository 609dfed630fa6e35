#include "platform/process.h"

#include <windows.h>

#include <mutex>

// The layer's own names, not the system's macros and functions.
#undef YieldProcessor

namespace platform {

namespace {

// The handler and its context, read by the system's thread.
struct InterruptHandler {
  void (*handler)(void*) = nullptr;
  void* context = nullptr;
};
std::mutex g_handlerLock;
InterruptHandler g_interruptHandler;

// Runs on the thread that the system starts for the console event. FALSE
// leaves the event to the default handling, which ends the process.
BOOL WINAPI ConsoleControl(DWORD) {
  // Held until the process ends, which the system does after this event:
  // one who removes the handler waits.
  g_handlerLock.lock();
  if (g_interruptHandler.handler) g_interruptHandler.handler(g_interruptHandler.context);
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

bool InstallInterruptHandler(void (*handler)(void*), void* context) {
  static bool installed = false;
  {
    std::lock_guard<std::mutex> hold(g_handlerLock);
    g_interruptHandler = {handler, context};
  }
  // The system runs the handler on a thread of its own: a refusal changes
  // nothing that the program could report.
  if (!installed) installed = SetConsoleCtrlHandler(ConsoleControl, TRUE) != 0;
  return true;
}

int CurrentYear() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return now.wYear;
}

}  // namespace platform
