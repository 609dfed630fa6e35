// Worker processes: the program started again in a hidden mode, joined to
// the one that started it by two pipes (jobs in, results out).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The first argument that starts the program as a worker.
inline constexpr const char* kWorkerArgument = "--narravox-worker";

// Whether this system runs worker processes (not Windows yet).
bool WorkerProcessesAvailable();

// The number of processors the process may run on; at least 1.
int ProcessorCount();

using PipeHandle = int64_t;
constexpr PipeHandle kNoPipe = -1;

struct WorkerProcess {
  int64_t id = -1;
  PipeHandle jobs = kNoPipe;     // written by the starter
  PipeHandle results = kNoPipe;  // read by the starter
};

// Starts this program as a worker; false, with the system's error, when it
// cannot. The worker's standard input and output are the null device; its
// pipes are handed over as WorkerJobPipe and WorkerResultPipe.
bool StartWorkerProcess(WorkerProcess* worker);
// In the worker: its two pipes.
PipeHandle WorkerJobPipe();
PipeHandle WorkerResultPipe();
// In the worker: kills it at once when its starter ends without ending it
// (a starter killed outright). A worker that outlived its starter, even by
// moments, could delete or rename a file that by then belongs to the next
// run of the same text; what it leaves half-written, that run removes.
// starter is the number the starter gave on the command line: a starter
// that ended before this call (even before this process ran) counts too.
void EndWithStarter(const std::string& starter);

// Whole reads and writes on a pipe; false on a failure or (reading) the end
// of the pipe.
bool ReadPipe(PipeHandle pipe, void* data, size_t size);
bool WritePipe(PipeHandle pipe, const void* data, size_t size);
void ClosePipe(PipeHandle pipe);

// Waits until one of the pipes has data or is closed; answers its index.
size_t WaitForPipe(const std::vector<PipeHandle>& pipes);

// Asks a worker to end (as an interruption would), or ends it at once.
void InterruptWorker(int64_t id);
void KillWorker(int64_t id);
// Waits up to timeoutMs for the worker to end; true when it has ended (or
// is no child any more). *interrupted tells whether an interruption ended it.
bool AwaitWorker(int64_t id, int timeoutMs, bool* interrupted = nullptr);

}  // namespace platform
