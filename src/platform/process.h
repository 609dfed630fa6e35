// The process during a conversion: priority, console window, interruption.
#pragma once

#include <cstdint>

namespace platform {

// Prepares the process at program start, before any other thread: a full
// disk, a file size limit or a console gone away makes a call fail instead
// of ending the process.
void PrepareProcess();

// Sets the priority class of the process (0x40 idle, 0x20 normal, 0x80
// high); a refusal of the system is ignored.
void SetPriorityClass(int32_t priorityClass);

// Minimises the console window, where there is one.
void MinimizeConsoleWindow();

// Gives up the rest of the thread's time slice.
void YieldProcessor();

// Holds back Ctrl-C and the other interruptions (on POSIX: blocks SIGINT,
// SIGTERM, SIGHUP) until InstallInterruptHandler takes them, so that work
// done before the handler's thread may start is not ended without it. No
// effect on Windows.
void HoldInterrupts();

// Installs handler for Ctrl-C, Ctrl-Break and the closing of the console
// (on POSIX: SIGINT, SIGTERM, SIGHUP). It runs on a thread of its own while
// the rest of the program goes on; when it returns, the process ends as the
// system ends it for that event. Call it before any other thread starts.
// A later call replaces the handler and its context; null removes it,
// waiting for a handler that runs (after which the process ends). False,
// with the system's error, when the handler's thread cannot be started (the
// user's processes and threads at their limit); a later call tries again.
bool InstallInterruptHandler(void (*handler)(void* context), void* context);

// The current year of the local date.
int CurrentYear();

}  // namespace platform
