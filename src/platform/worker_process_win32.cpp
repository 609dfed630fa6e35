#include "platform/worker_process.h"

#include <windows.h>

namespace platform {

// Worker processes are not built for Windows yet: every conversion there
// is one stream.
bool WorkerProcessesAvailable() { return false; }

int ProcessorCount() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwNumberOfProcessors > 0 ? static_cast<int>(info.dwNumberOfProcessors) : 1;
}

bool StartWorkerProcess(WorkerProcess*) {
  SetLastError(ERROR_NOT_SUPPORTED);
  return false;
}

PipeHandle WorkerJobPipe() { return kNoPipe; }
PipeHandle WorkerResultPipe() { return kNoPipe; }
void EndWithStarter(const std::string&) {}
bool ReadPipe(PipeHandle, void*, size_t) { return false; }
bool WritePipe(PipeHandle, const void*, size_t) { return false; }
void ClosePipe(PipeHandle) {}
size_t WaitForPipe(const std::vector<PipeHandle>&) { return 0; }
void InterruptWorker(int64_t) {}
void KillWorker(int64_t) {}
bool AwaitWorker(int64_t, int, bool* interrupted) {
  if (interrupted) *interrupted = false;
  return true;
}

}  // namespace platform
