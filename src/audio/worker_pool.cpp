#include "audio/worker_pool.h"

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/fragment_worker.h"
#include "base/errors.h"
#include "base/messages.h"
#include "platform/files.h"

namespace {

struct TWorker {
  platform::WorkerProcess process;
  int32_t track = 0;     // the job in progress, 0 when idle
  std::string path;      // its file
};

// Guards Workers against the interruption handler, which takes it for good.
// Only the conversion's thread changes Workers, and it never waits for a
// worker while holding the lock.
std::mutex PoolLock;
std::vector<TWorker> Workers;
int PoolSize = 1;

// How long a worker has to end when asked, before it is killed.
constexpr int kEndWaitMs = 800;

// Ends the workers that ending picks; busy ones are interrupted and their
// files deleted. Holds PoolLock. The ended ones stay in Workers, marked by
// an id of -1, until ForgetEndedWorkers: the conversion's thread may be
// using them when the interruption handler ends them.
template <typename Pick>
void EndWorkers(int waitMs, Pick ending) {
  for (TWorker& worker : Workers) {
    if (worker.process.id == -1 || !ending(worker)) continue;
    platform::ClosePipe(worker.process.jobs);  // an idle worker ends at this
    worker.process.jobs = platform::kNoPipe;
    if (worker.track != 0) platform::InterruptWorker(worker.process.id);
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  for (TWorker& worker : Workers) {
    if (worker.process.id == -1 || !ending(worker)) continue;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now()).count();
    if (!platform::AwaitWorker(worker.process.id, left > 0 ? static_cast<int>(left) : 0)) {
      platform::KillWorker(worker.process.id);
      platform::AwaitWorker(worker.process.id, 200);
    }
    // A job stopped may have finished before its word came: its file goes
    // too, as the run stops before it.
    if (worker.track != 0) {
      platform::DeleteFile(TemporaryName(worker.path));
      platform::DeleteFile(worker.path);
    }
    platform::ClosePipe(worker.process.results);
    worker.process.results = platform::kNoPipe;
    worker.process.id = -1;
    worker.track = 0;
  }
}

// Holds PoolLock; only on the conversion's thread.
void ForgetEndedWorkers() {
  std::vector<TWorker> left;
  for (TWorker& worker : Workers)
    if (worker.process.id != -1) left.push_back(worker);
  Workers.swap(left);
}

bool Every(const TWorker&) { return true; }

TWorker* IdleWorker() {
  for (TWorker& worker : Workers)
    if (worker.track == 0 && worker.process.id != -1) return &worker;
  return nullptr;
}

void StartWorker() {
  TWorker worker;
  if (!platform::StartWorkerProcess(&worker.process)) RaiseError(msg::kProcessingObjects);
  {
    std::lock_guard<std::mutex> hold(PoolLock);
    Workers.push_back(worker);
  }
  // A worker that fails to read its settings ends; its first job says so.
  WorkerSettingsMessage().Send(worker.process.jobs);
}

// A worker ended without a word. When an interruption ended it, this
// process is being interrupted too and ends within moments.
std::string WorkerLost(const TWorker& worker) {
  bool interrupted = false;
  platform::AwaitWorker(worker.process.id, kEndWaitMs, &interrupted);
  if (interrupted) std::this_thread::sleep_for(std::chrono::seconds(2));
  return FormatText(msg::kWorkerEnded, {worker.path});
}

}  // namespace

void OpenWorkerPool(int size) {
  CloseWorkerPool();
  PoolSize = size < 1 ? 1 : size;
}

bool WorkerAvailable() {
  return IdleWorker() != nullptr || static_cast<int>(Workers.size()) < PoolSize;
}

int JobsInProgress() {
  int busy = 0;
  for (const TWorker& worker : Workers)
    if (worker.track != 0) ++busy;
  return busy;
}

void HandOutJob(const TFragmentJob& job) {
  if (!IdleWorker()) StartWorker();
  TWorker* worker = IdleWorker();
  {
    std::lock_guard<std::mutex> hold(PoolLock);
    worker->track = job.track;
    worker->path = job.path;
  }
  // A worker that cannot take it has ended; waiting for its result says why.
  JobMessage(job).Send(worker->process.jobs);
}

TJobResult AwaitFinishedJob() {
  std::vector<platform::PipeHandle> pipes;
  std::vector<TWorker*> busy;
  for (TWorker& worker : Workers) {
    if (worker.track == 0) continue;
    pipes.push_back(worker.process.results);
    busy.push_back(&worker);
  }
  TJobResult outcome;
  if (busy.empty()) return outcome;
  TWorker& worker = *busy[platform::WaitForPipe(pipes)];
  outcome.track = worker.track;
  TMessage result;
  if (!result.Receive(worker.process.results) || result.size() != 2)
    outcome.error = WorkerLost(worker);
  else
    outcome.error = result.Text(1);
  std::lock_guard<std::mutex> hold(PoolLock);
  if (outcome.error.empty()) {
    worker.track = 0;
  } else {
    // The worker deleted its file and ends; so does one that said nothing.
    int64_t id = worker.process.id;
    worker.track = 0;
    EndWorkers(kEndWaitMs, [id](const TWorker& w) { return w.process.id == id; });
    ForgetEndedWorkers();
  }
  return outcome;
}

void StopJobsAfter(int32_t track) {
  std::lock_guard<std::mutex> hold(PoolLock);
  EndWorkers(kEndWaitMs, [track](const TWorker& w) { return w.track > track; });
  ForgetEndedWorkers();
}

void CloseWorkerPool() {
  std::lock_guard<std::mutex> hold(PoolLock);
  EndWorkers(kEndWaitMs, Every);
  ForgetEndedWorkers();
}

void StopWorkersForGood() {
  PoolLock.lock();  // never released: the process is about to end
  EndWorkers(kEndWaitMs, Every);
}
