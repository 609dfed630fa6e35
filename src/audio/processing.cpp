#include "audio/processing.h"

#include "audio/worker_pool.h"
#include "base/console_out.h"
#include "base/errors.h"
#include "base/messages.h"
#include "base/run_state.h"
#include "base/settings.h"
#include "platform/console.h"
#include "platform/platform.h"
#include "platform/process.h"

TProcessing::TProcessing(const std::string& engineLibrary, TRole role)
    : role_(role), engine_(engineLibrary), pipeline_(encoder_) {}

TProcessing::~TProcessing() {
  // Waits for a handler that runs: the process then ends with it.
  if (handlerInstalled_) platform::InstallInterruptHandler(nullptr, nullptr);
  try {
    engine_.Delete();
  } catch (...) {
  }
  pipeline_.StopEncoderThread();
  try {
    pipeline_.CloseStream();
  } catch (...) {
  }
  pipeline_.Output().Discard();
}

void TProcessing::Start() {
  const bool coordinator = role_ == TRole::Coordinator;
  if (coordinator && !RunState.TestMode) {
    if (Settings.MINIMIZZAFINESTRA) platform::MinimizeConsoleWindow();
    if (Settings.PRIORITA != kPriorityNormal) {
      platform::SetPriorityClass(Settings.PRIORITA);
      platform::YieldProcessor();
    }
  }
  // An interruption during the engine's activation waits for the handler.
  platform::HoldInterrupts();
  engine_.Activate();
  if (!RunState.TestMode) pipeline_.Connect(engine_);
  // A thread that cannot start is reported with what ran out, on POSIX.
  const int32_t code = platform::kUnixConventions ? -1 : 0;
  bool handling = platform::InstallInterruptHandler(Interrupted, this);
  handlerInstalled_ = true;
  if (!handling) RaiseErrorWithCode(msg::kProcessingObjects, "", code);
  if (RunState.TestMode) return;
  if (!pipeline_.StartEncoderThread()) RaiseErrorWithCode(msg::kProcessingObjects, "", code);
  if (coordinator) platform::YieldProcessor();
}

void TProcessing::SetWorkers(TWorkerPool* pool) {
  TMutexLock hold(&lock_);
  workers_ = pool;
}

platform::LockResult TProcessing::LockFolder(const std::string& lockPath) {
  TMutexLock hold(&lock_);
  folderLocks_.emplace_back();
  platform::LockResult result = folderLocks_.back().Acquire(lockPath);
  if (result != platform::LockResult::Locked) folderLocks_.pop_back();
  return result;
}

bool TProcessing::HoldsFolderLock(const std::string& lockPath) {
  TMutexLock hold(&lock_);
  for (const platform::TFileLock& lock : folderLocks_)
    if (lock.Path() == lockPath) return true;
  return false;
}

void TProcessing::ReleaseFolderLock(const std::string& lockPath) {
  TMutexLock hold(&lock_);
  for (auto lock = folderLocks_.begin(); lock != folderLocks_.end(); ++lock) {
    if (lock->Path() != lockPath) continue;
    lock->Release();
    folderLocks_.erase(lock);
    return;
  }
}

// Ctrl-C, a closed console, SIGTERM: every worker ends, and no partial file
// may remain; the RecoveryFile stays as last written for a later "/R".
void TProcessing::Interrupted(void* context) {
  auto* processing = static_cast<TProcessing*>(context);
  // Held to the end: a pool that goes meanwhile waits for it.
  TMutexLock hold(&processing->lock_);
  if (processing->workers_) processing->workers_->StopForGood();
  processing->pipeline_.Output().DiscardForGood();
  for (platform::TFileLock& lock : processing->folderLocks_) lock.Release();
  if (processing->role_ == TRole::Worker) return;
  PrintLine(msg::kInterrupted);
  // A run that made no file yet left nothing to resume.
  if (!RunState.TestMode && RunState.RecoveryFileWritten.value) PrintLine(ResumeHint());
  platform::GiveBackConsoleTitle();
}
