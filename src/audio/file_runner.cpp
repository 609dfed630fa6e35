#include "audio/file_runner.h"

#include "audio/speech_files.h"
#include "audio/worker_pool.h"
#include "base/errors.h"
#include "base/settings.h"

void TInProcessRunner::Start(const TFragmentJob& job) {
  result_ = TJobResult();
  result_.number = job.number;
  // A failure becomes the job's result, as a worker's does.
  result_.error = FailureOf([&] { result_.samples = SampleCount(WriteFragmentFile(processing_, job)); });
  done_ = true;
}

TJobResult TInProcessRunner::AwaitFinishedJob() {
  done_ = false;
  return result_;
}

std::unique_ptr<TFileRunner> MakeFileRunner(TProcessing& processing) {
  if (Settings.PARALLELI > 1) return std::make_unique<TWorkerPool>(processing, Settings.PARALLELI);
  return std::make_unique<TInProcessRunner>(processing);
}
