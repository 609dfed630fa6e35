// The worker processes of a conversion, each writing one MP3 file at a
// time: jobs are handed out as they come, results taken back as they end.
// Used by the conversion's thread; the interruption handler may end it
// from another (StopForGood).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/file_runner.h"
#include "base/mutex.h"
#include "platform/worker_process.h"

class TWorkerPool : public TFileRunner {
 public:
  // Allows up to size workers; they start as jobs come. processing's
  // interruption ends them.
  TWorkerPool(TProcessing& processing, int size);
  // Ends every worker (Close).
  ~TWorkerPool() override;

  bool CanStart() const override EXCLUDES(lock_);
  // Gives job to an idle worker, starting one when fewer than the pool's
  // size run.
  void Start(const TFragmentJob& job) override EXCLUDES(lock_);
  // Results are taken when they are awaited.
  bool ResultReady() const override { return false; }
  int JobsInProgress() const override EXCLUDES(lock_);
  // The worker of a job that failed ends.
  TJobResult AwaitFinishedJob() override EXCLUDES(lock_);
  void StopJobsAfter(int32_t number) override EXCLUDES(lock_);
  // Idle workers end as they finish, busy ones at once, with the files
  // they were writing deleted.
  void Close() override EXCLUDES(lock_);

  // For the interruption handler: as Close within a second, and the pool
  // stays locked until the process ends: nothing of it starts or goes on.
  void StopForGood() NO_THREAD_SAFETY_ANALYSIS;

 private:
  struct TWorker {
    platform::WorkerProcess process;
    int32_t job = 0;  // the number of the job in progress, 0 when idle
    std::string path;   // its file
  };

  template <typename Pick>
  void EndWorkers(Pick ending, bool byHandler = false) REQUIRES(lock_);
  void ForgetEndedWorkers() REQUIRES(lock_);
  TWorker* IdleWorker() REQUIRES(lock_);
  std::string WorkerLost(int64_t id, const std::string& path) EXCLUDES(lock_);

  TProcessing& processing_;
  const int size_;
  // Only the conversion's thread changes the list and starts jobs; the
  // handler ends workers under the lock. Nobody waits for a worker's result
  // while holding it.
  mutable TMutex lock_;
  TCondVar stopped_;  // told when the handler takes the pool
  bool stoppedForGood_ GUARDED_BY(lock_) = false;
  // Ended workers stay, with an id of -1, until ForgetEndedWorkers: the
  // conversion's thread may be reading one when the handler ends it.
  std::vector<TWorker> workers_ GUARDED_BY(lock_);
};
