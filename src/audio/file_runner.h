// What makes the MP3 files of a conversion's fragments: in this process,
// one after the other, or in worker processes, several at once. The
// conversion hands out jobs and takes back results in the same way with
// either; only their number at once differs.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "audio/fragment_job.h"
#include "audio/processing.h"

struct TJobResult {
  int32_t number = 0;  // the job's (TFragmentJob::number)
  int32_t samples = 0;  // of speech in the file, at the SAMPLE rate
  std::string error;  // the Italian message of a job that failed, with nothing of it left
};

class TFileRunner {
 public:
  virtual ~TFileRunner() = default;

  // Whether a job can be handed out now without waiting for a result.
  virtual bool CanStart() const = 0;
  // Starts job; raises "Impossibile creare gli oggetti per l'elaborazione"
  // when no worker can start. Its result comes from AwaitFinishedJob.
  virtual void Start(const TFragmentJob& job) = 0;
  // Whether a result can be taken without waiting.
  virtual bool ResultReady() const = 0;
  virtual int JobsInProgress() const = 0;
  // Waits until a job in progress ends and answers its result.
  virtual TJobResult AwaitFinishedJob() = 0;
  // Ends the jobs numbered above number at once, with their files deleted.
  virtual void StopJobsAfter(int32_t number) = 0;
  // Ends every job, with the files being made deleted. Never raises.
  virtual void Close() = 0;
};

// One file at a time in this process, with its engine and pipeline: a job
// is done when Start returns.
class TInProcessRunner : public TFileRunner {
 public:
  explicit TInProcessRunner(TProcessing& processing) : processing_(processing) {}

  bool CanStart() const override { return !done_; }
  void Start(const TFragmentJob& job) override;
  bool ResultReady() const override { return done_; }
  int JobsInProgress() const override { return done_ ? 1 : 0; }
  TJobResult AwaitFinishedJob() override;
  void StopJobsAfter(int32_t) override {}
  void Close() override { done_ = false; }

 private:
  TProcessing& processing_;
  bool done_ = false;  // a result waits to be taken
  TJobResult result_;
};

// The runner that the settings ask for: PARALLELI worker processes when
// above 1 (set-up leaves 1 where workers cannot make the same files), else
// this process.
std::unique_ptr<TFileRunner> MakeFileRunner(TProcessing& processing);
