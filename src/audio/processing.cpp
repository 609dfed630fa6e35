#include "audio/processing.h"

#include "audio/eci_engine.h"
#include "audio/mp3_encoder.h"
#include "audio/pipeline.h"
#include "audio/worker_pool.h"
#include "base/settings.h"
#include "base/console_out.h"
#include "base/errors.h"
#include "base/messages.h"
#include "base/run_state.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/process.h"

namespace {

// Ctrl-C, a closed console, SIGTERM: every worker ends, and no partial MP3
// file may remain; the RecoveryFile stays as last written for a later "/R".
void ConsoleCtrlHandler() {
  StopWorkersForGood();
  DiscardOutputFileForGood();
  PrintLine(msg::kInterrupted);
  if (!RunState.TestMode) PrintLine(ResumeHint());
  platform::GiveBackConsoleTitle();
}

// Runs one release step; a failure there must not hide the error that
// brought the run to its end.
template <typename Step>
void Release(Step step) {
  try {
    step();
  } catch (...) {
  }
}

}  // namespace

void StartProcessing() {
  if (!RunState.TestMode) {
    if (Settings.MINIMIZZAFINESTRA) platform::MinimizeConsoleWindow();
    if (Settings.PRIORITA != kPriorityNormal) {
      platform::SetPriorityClass(Settings.PRIORITA);
      platform::YieldProcessor();
    }
  }
  // An interruption during the engine's activation waits for the handler.
  platform::HoldInterrupts();
  ActivateEngine();
  platform::InstallInterruptHandler(ConsoleCtrlHandler);
  if (RunState.TestMode) return;
  if (!StartEncoderThread()) RaiseError(msg::kProcessingObjects);
  platform::YieldProcessor();
}

void ShutdownProcessing(const std::string& savedDirectory) {
  Release(CloseWorkerPool);
  Release(DeleteEngine);
  Release(StopEncoderThread);
  Release(CloseEncoderStream);
  Release(DiscardOutputFile);
  if (!savedDirectory.empty()) platform::SetCurrentDirectory(savedDirectory);
  Release(FreePipelineBuffers);
}
