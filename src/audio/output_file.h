// Every output file of a conversion, MP3 file or clip, in every mode, is
// made by MakeOutputFile: written as "name.parziale" in its folder (created
// new, never through a link), synced to the disk, then renamed over the
// final name, whose folder is synced in turn. Nothing is ever under the
// final name until the file is whole; after a power cut the name holds the
// old file or the new one. A run that dies leaves at most the ".parziale"
// file, which the next run of the text deletes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "base/mutex.h"
#include "platform/files.h"

// The name under which the file at path is written until it is whole.
std::string TemporaryName(const std::string& path);

// The file being made. Its writes may come from another thread than the one
// that begins and publishes it (the encoder thread), and the interruption
// handler may discard it at any moment.
class TOutputFile {
 public:
  TOutputFile() = default;
  ~TOutputFile() { Discard(); }
  TOutputFile(const TOutputFile&) = delete;
  TOutputFile& operator=(const TOutputFile&) = delete;

  // Creates the temporary file of path; raises "Impossibile creare il file"
  // naming path when it cannot (a folder or anything else in its place, a
  // temporary file of another run).
  void Begin(const std::string& path) EXCLUDES(lock_);
  // False on a short write, with the system's error code in *error.
  bool Write(const void* data, size_t size, int32_t* error = nullptr) EXCLUDES(lock_);
  // Syncs and closes the file and gives it its name; raises the write error
  // naming path, with nothing of the file left, when that fails.
  void Publish() EXCLUDES(lock_);
  // Closes and deletes the file being made, if any. Never raises.
  void Discard() EXCLUDES(lock_);
  // As Discard, then keeps every other thread from touching the file until
  // the process ends: for the interruption handler.
  void DiscardForGood() NO_THREAD_SAFETY_ANALYSIS;
  // The final name of the file being made or last made.
  std::string Path() const EXCLUDES(lock_);

 private:
  void DiscardLocked() REQUIRES(lock_);

  mutable TMutex lock_;
  platform::FileHandle file_ GUARDED_BY(lock_) = platform::kNoFile;
  std::string path_ GUARDED_BY(lock_);
};

// Makes the file at path: begins it in file, lets write fill it (through
// file.Write, or a pipeline that writes there), and publishes it. When
// write raises, the temporary file goes and the error goes on.
void MakeOutputFile(TOutputFile& file, const std::string& path,
                    const std::function<void()>& write);
