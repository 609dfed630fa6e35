#include "audio/fragment_worker.h"

#include "audio/processing.h"
#include "audio/speech_files.h"
#include "base/errors.h"
#include "base/messages.h"
#include "base/settings.h"
#include "config/parse_setting.h"
#include "platform/worker_process.h"

namespace {

// The settings of the run; answers the engine library's path.
std::string ApplySettings(const TMessage& message) {
  TSettings& settings = EditableSettings();
  settings.MP3DLL = message.Text(0);
  settings.ECIDLL = message.Text(1);
  for (size_t i = 2; i < message.size(); ++i) ParseSetting(message.Text(i), settings);
  // Nothing of a worker goes to the console.
  settings.VERBOSITA = 0;
  return settings.ECIDLL;
}

// The job's number, its error ("" when the file is made) and its samples.
bool SendResult(int32_t number, const std::string& error, int32_t samples = 0) {
  return TMessage().Add(number).Add(error).Add(samples).Send(platform::WorkerResultPipe());
}

// Makes the file of every job that comes; answers the error that ended the
// worker, or "" when its starter closed the pipe. *number is the last job's.
std::string TakeJobs(TProcessing& processing, int32_t* number) {
  try {
    return FailureOf([&] {
      // The engine first, while this is the process's only thread.
      processing.Start();
      TMessage message;
      while (message.Receive(platform::WorkerJobPipe())) {
        TFragmentJob job;
        if (!ReadJobMessage(message, &job)) break;
        *number = job.number;
        int32_t samples = SampleCount(WriteFragmentFile(processing, job));
        if (!SendResult(job.number, "", samples)) break;
      }
    });
  } catch (const ESilentAbort&) {
    return msg::kProcessingObjects;
  }
}

}  // namespace

TMessage WorkerSettingsMessage(const std::string& engineLibrary) {
  TMessage message;
  message.Add(Settings.MP3DLL).Add(engineLibrary);
  for (const std::string& line : RecordSettings(Settings)) message.Add(line);
  return message;
}

int RunWorkerProcess(const std::string& starter) {
  platform::EndWithStarter(starter);
  TMessage message;
  if (!message.Receive(platform::WorkerJobPipe()) || message.size() < 2) return 1;
  std::string failure;
  int32_t number = 0;
  {
    TProcessing processing(ApplySettings(message), TProcessing::TRole::Worker);
    failure = TakeJobs(processing, &number);
  }
  if (!failure.empty()) SendResult(number, failure);
  return failure.empty() ? 0 : 1;
}
