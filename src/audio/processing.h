// The processes and threads of a conversion, and the objects each owns.
//
// Processes: the coordinator (the process the user started) runs the job
// list, the fragment loop, the RecoveryFile, the clean-up, the groups and
// the clips. With PARALLELI above 1 it starts worker processes (the
// program again, fragment_worker.h), each making one MP3 file at a time.
//
// Objects: each process owns one TProcessing: an engine binding, an encoder
// binding and a pipeline. The coordinator also owns the file runner
// (file_runner.h: in-process, or the worker pool).
//
// Threads, in each process: the main thread, which calls the engine (and
// so runs the engine's callback) and, in the coordinator, the runner; the
// pipeline's encoder thread, started after the engine's activation (the
// engine forks); the interruption handler's thread. The handler reaches
// what it must end through the one pointer registered with the platform,
// the TProcessing: it ends the workers (TWorkerPool::StopForGood) and
// discards the file being made (TOutputFile::DiscardForGood); both take
// their object's lock and keep it until the process ends, so that the
// other threads stop at their next touch of those objects. It also lets go
// the locks of the folders being written, deleting its lock file. It touches
// nothing else.
#pragma once

#include <list>
#include <string>

#include "audio/eci_engine.h"
#include "audio/mp3_encoder.h"
#include "audio/pipeline.h"
#include "base/mutex.h"
#include "platform/file_lock.h"

class TWorkerPool;

class TProcessing {
 public:
  // Who handles an interruption: the coordinator tells the user (and the
  // RecoveryFile's hint); a worker ends silently.
  enum class TRole { Coordinator, Worker };

  // The engine library at engineLibrary (a full path).
  TProcessing(const std::string& engineLibrary, TRole role);
  // Releases the engine, the encoder thread, an open stream and a file
  // being made. Never raises.
  ~TProcessing();
  TProcessing(const TProcessing&) = delete;
  TProcessing& operator=(const TProcessing&) = delete;

  // Sets the window and the priority (the coordinator), activates the
  // engine before any thread (and at the run's priority, which its
  // processes inherit), connects the pipeline (not in TestMode), then
  // installs the interruption handler and starts the encoder thread.
  // Raises the engine's and the encoder's errors, and "Impossibile creare
  // gli oggetti per l'elaborazione" when the thread cannot be started.
  void Start();

  TEngineBinding& Engine() { return engine_; }
  TPipeline& Pipeline() { return pipeline_; }

  // The pool that an interruption must end, or null.
  void SetWorkers(TWorkerPool* pool) EXCLUDES(lock_);

  // Locks a folder being written through the lock file at lockPath
  // (platform::TFileLock); the lock goes with ReleaseFolderLock, with this
  // object, or with an interruption, so that no lock file stays behind
  // unless the process is killed outright. Several folders may be held at
  // once (the texts whose files are being made).
  platform::LockResult LockFolder(const std::string& lockPath) EXCLUDES(lock_);
  // Whether this object holds the lock taken with lockPath.
  bool HoldsFolderLock(const std::string& lockPath) EXCLUDES(lock_);
  // Lets go the lock taken with lockPath; nothing when none is held.
  void ReleaseFolderLock(const std::string& lockPath) EXCLUDES(lock_);

 private:
  static void Interrupted(void* processing);

  const TRole role_;
  bool handlerInstalled_ = false;
  TEngineBinding engine_;
  TEncoderBinding encoder_;
  TPipeline pipeline_;
  TMutex lock_;
  TWorkerPool* workers_ GUARDED_BY(lock_) = nullptr;
  std::list<platform::TFileLock> folderLocks_ GUARDED_BY(lock_);
};
