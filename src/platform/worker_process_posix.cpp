#include "platform/worker_process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include "platform/platform.h"

extern char** environ;

namespace platform {

namespace {

// The worker's pipes, beside its standard streams.
constexpr int kJobFd = 3;
constexpr int kResultFd = 4;

bool IsInterruptSignal(int signal) {
  return signal == SIGINT || signal == SIGTERM || signal == SIGHUP;
}

}  // namespace

bool WorkerProcessesAvailable() { return true; }

int ProcessorCount() {
#ifdef __linux__
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) return CPU_COUNT(&set);
#endif
  long n = sysconf(_SC_NPROCESSORS_ONLN);
  return n > 0 ? static_cast<int>(n) : 1;
}

bool StartWorkerProcess(WorkerProcess* worker) {
  int jobs[2], results[2];
  if (pipe2(jobs, O_CLOEXEC) != 0) return false;
  if (pipe2(results, O_CLOEXEC) != 0) {
    int error = errno;
    close(jobs[0]);
    close(jobs[1]);
    errno = error;
    return false;
  }
  std::string program = ProgramPath();
  std::string starter = std::to_string(getpid());
  char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(kWorkerArgument),
                  const_cast<char*>(starter.c_str()), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, jobs[0], kJobFd);
  posix_spawn_file_actions_adddup2(&actions, results[1], kResultFd);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  // The starter keeps the interruption signals blocked on every thread;
  // the worker takes them as it chooses.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
  pid_t pid = -1;
  int error = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(jobs[0]);
  close(results[1]);
  if (error != 0) {
    close(jobs[1]);
    close(results[0]);
    errno = error;
    return false;
  }
  worker->id = pid;
  worker->jobs = jobs[1];
  worker->results = results[0];
  return true;
}

PipeHandle WorkerJobPipe() { return kJobFd; }
PipeHandle WorkerResultPipe() { return kResultFd; }

void EndWithStarter(const std::string& starter) {
#ifdef __linux__
  prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
  // The starter may have ended before the request took effect, or before
  // this process even ran (what it had written to the pipes is still
  // there to read): this process then has another parent.
  if (std::to_string(getppid()) != starter) raise(SIGKILL);
}

bool ReadPipe(PipeHandle pipe, void* data, size_t size) {
  char* at = static_cast<char*>(data);
  while (size > 0) {
    ssize_t n = read(static_cast<int>(pipe), at, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool WritePipe(PipeHandle pipe, const void* data, size_t size) {
  const char* at = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = write(static_cast<int>(pipe), at, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

void ClosePipe(PipeHandle pipe) {
  if (pipe != kNoPipe) close(static_cast<int>(pipe));
}

size_t WaitForPipe(const std::vector<PipeHandle>& pipes) {
  std::vector<pollfd> fds(pipes.size());
  for (size_t i = 0; i < pipes.size(); ++i) fds[i] = {static_cast<int>(pipes[i]), POLLIN, 0};
  for (;;) {
    int n = poll(fds.data(), fds.size(), -1);
    if (n < 0 && errno == EINTR) continue;
    for (size_t i = 0; i < fds.size(); ++i)
      if (fds[i].revents != 0) return i;
    if (n < 0) return 0;  // the read that follows reports the failure
  }
}

void InterruptWorker(int64_t id) { kill(static_cast<pid_t>(id), SIGTERM); }

void KillWorker(int64_t id) { kill(static_cast<pid_t>(id), SIGKILL); }

bool AwaitWorker(int64_t id, int timeoutMs, bool* interrupted) {
  if (interrupted) *interrupted = false;
  for (int waited = 0;; waited += 5) {
    int status = 0;
    pid_t done = waitpid(static_cast<pid_t>(id), &status, WNOHANG);
    if (done < 0) return true;  // reaped elsewhere
    if (done > 0) {
      if (interrupted) *interrupted = WIFSIGNALED(status) && IsInterruptSignal(WTERMSIG(status));
      return true;
    }
    if (waited >= timeoutMs) return false;
    timespec pause = {0, 5 * 1000 * 1000};
    nanosleep(&pause, nullptr);
  }
}

}  // namespace platform
