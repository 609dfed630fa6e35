#include "audio/fragment_worker.h"

#include <new>

#include "audio/eci_engine.h"
#include "audio/mp3_encoder.h"
#include "audio/pipeline.h"
#include "audio/processing.h"
#include "base/errors.h"
#include "base/messages.h"
#include "base/settings.h"
#include "config/parse_setting.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "platform/process.h"

namespace {

// An interruption deletes the file being written; the process then ends.
void WorkerInterrupted() { DiscardOutputFileForGood(); }

// The errors name the file that was asked for, not its temporary name.
std::string AboutFile(std::string message, const TFragmentJob& job) {
  const std::string temporary = TemporaryName(job.path);
  for (size_t at; (at = message.find(temporary)) != std::string::npos;)
    message.replace(at, temporary.size(), job.path);
  return message;
}

void ApplySettings(const TMessage& message) {
  TSettings& settings = EditableSettings();
  settings.MP3DLL = message.Text(0);
  settings.ECIDLL = message.Text(1);
  SetEngineLibraryPath(settings.ECIDLL);
  for (size_t i = 2; i < message.size(); ++i) ParseSetting(message.Text(i), settings);
  // Nothing of a worker goes to the console.
  settings.VERBOSITA = 0;
}

bool SendResult(int32_t track, const std::string& error) {
  return TMessage().Add(track).Add(error).Send(platform::WorkerResultPipe());
}

}  // namespace

TMessage WorkerSettingsMessage() {
  TMessage message;
  message.Add(Settings.MP3DLL).Add(EngineLibraryPath());
  for (const std::string& line : RecordSettings(Settings)) message.Add(line);
  return message;
}

void WriteOrDiscard(const uint8_t* data, size_t size, const std::string& path) {
  int32_t error = 0;
  if (WriteOutputBytes(data, size, &error)) return;
  DiscardOutputFile();
  RaiseErrorWithCode(msg::kWriteError, path, error);
}

void WriteFragmentFile(const TFragmentJob& job) {
  const std::string temporary = TemporaryName(job.path);
  CreateOutputFile(temporary);
  if (!job.id3v2.empty())
    WriteOrDiscard(reinterpret_cast<const uint8_t*>(job.id3v2.data()), job.id3v2.size(),
                   job.path);
  if (EncoderStream == 0) OpenEncoderStream();
  QueueSpeech(job.parts);
  SynthesizeAndWait();
  FinishMp3File(job.id3v1.empty() ? nullptr : reinterpret_cast<const uint8_t*>(job.id3v1.data()));
  CheckPipelineError();
  if (!platform::RenameReplacing(temporary, job.path)) {
    int error = platform::LastErrorCode();
    platform::DeleteFile(temporary);
    RaiseErrorWithCode(msg::kWriteError, job.path, error);
  }
}

int RunWorkerProcess(const std::string& starter) {
  platform::EndWithStarter(starter);
  TMessage message;
  if (!message.Receive(platform::WorkerJobPipe()) || message.size() < 2) return 1;
  ApplySettings(message);
  std::string failure;
  int32_t track = 0;
  try {
    // The engine first, while this is the process's only thread (see
    // ActivateEngine); an interruption meanwhile waits for the handler.
    platform::HoldInterrupts();
    ActivateEngine();
    platform::InstallInterruptHandler(WorkerInterrupted);
    if (!StartEncoderThread()) RaiseError(msg::kProcessingObjects);
    while (message.Receive(platform::WorkerJobPipe())) {
      TFragmentJob job;
      if (!ReadJobMessage(message, &job)) break;
      track = job.track;
      try {
        WriteFragmentFile(job);
      } catch (const EError& error) {
        RaiseError(AboutFile(error.what(), job));
      }
      if (!SendResult(track, "")) break;
    }
  } catch (const std::bad_alloc&) {
    failure = msg::kOutOfMemory;
  } catch (const std::exception& error) {
    failure = error.what();
  } catch (const ESilentAbort&) {
    failure = msg::kProcessingObjects;
  }
  ShutdownProcessing("");
  if (!failure.empty()) SendResult(track, failure);
  return failure.empty() ? 0 : 1;
}
