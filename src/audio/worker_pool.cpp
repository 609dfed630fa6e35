#include "audio/worker_pool.h"

#include <chrono>

#include "audio/fragment_worker.h"
#include "audio/output_file.h"
#include "base/errors.h"
#include "base/messages.h"
#include "platform/files.h"

namespace {

// How long a worker has to end when asked, before it is killed.
constexpr int kEndWaitMs = 800;
// How long a worker that an interruption ended is mourned: the same
// interruption reaches this process, whose handler then takes the pool.
constexpr int kInterruptionWaitMs = 2000;

}  // namespace

TWorkerPool::TWorkerPool(TProcessing& processing, int size)
    : processing_(processing), size_(size < 1 ? 1 : size) {
  processing_.SetWorkers(this);
}

TWorkerPool::~TWorkerPool() {
  Close();
  processing_.SetWorkers(nullptr);
}

// Ends the workers that ending picks; busy ones are interrupted and their
// files deleted. The interruption handler leaves the pipes open, as the
// conversion's thread may be reading them; it interrupts idle workers too.
template <typename Pick>
void TWorkerPool::EndWorkers(Pick ending, bool byHandler) {
  for (TWorker& worker : workers_) {
    if (worker.process.id == -1 || !ending(worker)) continue;
    if (!byHandler) {
      platform::ClosePipe(worker.process.jobs);  // an idle worker ends at this
      worker.process.jobs = platform::kNoPipe;
    }
    if (worker.job != 0 || byHandler) platform::InterruptWorker(worker.process.id);
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kEndWaitMs);
  for (TWorker& worker : workers_) {
    if (worker.process.id == -1 || !ending(worker)) continue;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now())
                    .count();
    if (!platform::AwaitWorker(worker.process.id, left > 0 ? static_cast<int>(left) : 0)) {
      platform::KillWorker(worker.process.id);
      platform::AwaitWorker(worker.process.id, 200);
    }
    // A job stopped may have finished before its word came: its file goes
    // too, as the run stops before it.
    if (worker.job != 0) {
      platform::DeleteFile(TemporaryName(worker.path));
      platform::DeleteFile(worker.path);
    }
    if (!byHandler) {
      platform::ClosePipe(worker.process.results);
      worker.process.results = platform::kNoPipe;
    }
    worker.process.id = -1;
    worker.job = 0;
  }
}

// Only on the conversion's thread.
void TWorkerPool::ForgetEndedWorkers() {
  std::vector<TWorker> left;
  for (TWorker& worker : workers_)
    if (worker.process.id != -1) left.push_back(worker);
  workers_.swap(left);
}

TWorkerPool::TWorker* TWorkerPool::IdleWorker() {
  for (TWorker& worker : workers_)
    if (worker.job == 0 && worker.process.id != -1) return &worker;
  return nullptr;
}

bool TWorkerPool::CanStart() const {
  TMutexLock hold(&lock_);
  for (const TWorker& worker : workers_)
    if (worker.job == 0 && worker.process.id != -1) return true;
  return static_cast<int>(workers_.size()) < size_;
}

int TWorkerPool::JobsInProgress() const {
  TMutexLock hold(&lock_);
  int busy = 0;
  for (const TWorker& worker : workers_)
    if (worker.job != 0) ++busy;
  return busy;
}

void TWorkerPool::Start(const TFragmentJob& job) {
  TMutexLock hold(&lock_);
  TWorker* worker = IdleWorker();
  if (!worker) {
    TWorker started;
    if (!platform::StartWorkerProcess(&started.process))
      RaiseErrorWithCode(msg::kProcessingObjects, "", -1);  // with what ran out
    workers_.push_back(started);
    worker = &workers_.back();
    // A worker that fails to read its settings ends; its first job says so.
    WorkerSettingsMessage(processing_.Engine().LibraryPath()).Send(worker->process.jobs);
  }
  worker->job = job.number;
  worker->path = job.path;
  // A worker that cannot take it has ended; waiting for its result says why.
  JobMessage(job).Send(worker->process.jobs);
}

// A worker ended without a word. When an interruption ended it, this
// process is being interrupted too and ends within moments: the wait ends
// when its handler takes the pool.
std::string TWorkerPool::WorkerLost(int64_t id, const std::string& path) {
  bool interrupted = false;
  platform::AwaitWorker(id, kEndWaitMs, &interrupted);
  if (interrupted) {
    TMutexLock hold(&lock_);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kInterruptionWaitMs);
    while (!stoppedForGood_) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                      deadline - std::chrono::steady_clock::now())
                      .count();
      if (left <= 0) break;
      stopped_.WaitFor(lock_, static_cast<int>(left));
    }
  }
  return FormatText(msg::kWorkerEnded, {path});
}

TJobResult TWorkerPool::AwaitFinishedJob() {
  std::vector<platform::PipeHandle> pipes;
  std::vector<TWorker> busy;
  {
    TMutexLock hold(&lock_);
    for (const TWorker& worker : workers_) {
      if (worker.job == 0) continue;
      pipes.push_back(worker.process.results);
      busy.push_back(worker);
    }
  }
  TJobResult outcome;
  if (busy.empty()) return outcome;
  // The pipes stay open while this thread reads them: only this thread
  // closes them.
  const TWorker& worker = busy[platform::WaitForPipe(pipes)];
  outcome.number = worker.job;
  TMessage result;
  if (!result.Receive(worker.process.results) || result.size() != 3) {
    outcome.error = WorkerLost(worker.process.id, worker.path);
  } else {
    outcome.error = result.Text(1);
    outcome.samples = result.Number(2);
  }
  TMutexLock hold(&lock_);
  const int64_t id = worker.process.id;
  for (TWorker& listed : workers_) {
    if (listed.process.id != id) continue;
    listed.job = 0;
    // The worker of a failed job deleted its file and ends; so does one
    // that said nothing.
    if (!outcome.error.empty()) {
      EndWorkers([id](const TWorker& w) { return w.process.id == id; });
      ForgetEndedWorkers();
    }
    break;
  }
  return outcome;
}

void TWorkerPool::StopJobsAfter(int32_t number) {
  TMutexLock hold(&lock_);
  EndWorkers([number](const TWorker& w) { return w.job > number; });
  ForgetEndedWorkers();
}

void TWorkerPool::Close() {
  TMutexLock hold(&lock_);
  EndWorkers([](const TWorker&) { return true; });
  ForgetEndedWorkers();
}

void TWorkerPool::StopForGood() {
  lock_.Lock();  // never released: the process is about to end
  stoppedForGood_ = true;
  stopped_.SignalAll();
  EndWorkers([](const TWorker&) { return true; }, true);
}
