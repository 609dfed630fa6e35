#include "platform/process.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <mutex>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <system_error>
#include <thread>
#include <unistd.h>

#include "platform/console.h"

namespace platform {

namespace {

// The handler and its context, read by the signal thread.
struct InterruptHandler {
  void (*handler)(void*) = nullptr;
  void* context = nullptr;
};
std::mutex g_handlerLock;
InterruptHandler g_interruptHandler;

sigset_t InterruptSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  return set;
}

// The signals are blocked in every thread and collected here, so that the
// handler may take locks and write to the console like any other code.
void WaitForInterrupt(sigset_t set) {
  int signal = 0;
  while (sigwait(&set, &signal) != 0) {
  }
  // Held until the process ends: one who removes the handler waits.
  g_handlerLock.lock();
  if (g_interruptHandler.handler) g_interruptHandler.handler(g_interruptHandler.context);
  std::signal(signal, SIG_DFL);
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
  raise(signal);
  _exit(128 + signal);
}

}  // namespace

void PrepareProcess() {
  std::signal(SIGXFSZ, SIG_IGN);
  std::signal(SIGPIPE, SIG_IGN);
}

void SetPriorityClass(int32_t priorityClass) {
  if (priorityClass == 0x40)
    setpriority(PRIO_PROCESS, 0, 19);
  else if (priorityClass == 0x80)
    setpriority(PRIO_PROCESS, 0, -10);
}

void MinimizeConsoleWindow() {
  if (isatty(STDOUT_FILENO) == 1) ConsoleWrite("\x1b[2t");
}

void YieldProcessor() { sched_yield(); }

void HoldInterrupts() {
  sigset_t set = InterruptSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

bool InstallInterruptHandler(void (*handler)(void*), void* context) {
  static std::mutex startLock;
  static bool started = false;
  {
    std::lock_guard<std::mutex> hold(g_handlerLock);
    g_interruptHandler = {handler, context};
  }
  std::lock_guard<std::mutex> hold(startLock);
  if (started) return true;
  HoldInterrupts();
  try {
    std::thread(WaitForInterrupt, InterruptSignals()).detach();
  } catch (const std::system_error& error) {
    errno = error.code().value();
    return false;
  }
  started = true;
  return true;
}

int CurrentYear() {
  time_t now = time(nullptr);
  struct tm local;
  localtime_r(&now, &local);
  return local.tm_year + 1900;
}

}  // namespace platform
