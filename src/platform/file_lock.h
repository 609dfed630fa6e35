// Locks that keep two conversions off the same files: a file that stands for
// a folder or another file, locked by the one process that works on it.
#pragma once

#include <string>

#include "platform/files.h"

namespace platform {

// An exclusive advisory lock on a file, held by this object until Release
// or its destruction. Advisory: it keeps out those who ask for the same
// lock, not those who read or write the file.
//
// The file names its holder (POSIX): one line "process user host", which
// LockHolder reads back for those who find the lock busy.
//
// An object is used by one thread at a time; distinct objects need no
// synchronisation, also when they lock the same file.
class TFileLock {
 public:
  TFileLock() = default;
  // Releases the lock when this object holds it.
  ~TFileLock();

  TFileLock(const TFileLock&) = delete;
  TFileLock& operator=(const TFileLock&) = delete;

  // Locks the file at path, creating it when missing; does not wait for
  // another holder to let it go.
  //   Locked: this object holds the lock, and the file names this process.
  //   Busy:   someone else holds it, another process or another object of
  //           this one; Holder() tells who where the file says so.
  //   Failed: the file cannot be created, opened or locked, with the
  //           system's error for LastErrorCode(): EACCES or EROFS when it is
  //           missing and its folder cannot be written, kErrorNotAFile when
  //           the path names no regular file.
  // The system lets the lock go when the process ends, however it ends;
  // processes that this one starts do not inherit it. A file that this user
  // may not write (another user's, in a folder they share) is locked through
  // a read-only descriptor (POSIX); its holder line then stays as it was.
  // A file deleted or replaced by its last holder between the open and the
  // lock is opened again, so that two objects never both hold path.
  //
  // REQUIRES: this object holds no lock.
  LockResult Acquire(const std::string& path);

  // Deletes the file, then lets the lock go, so that what nobody works on
  // keeps no lock file; the file stays where it cannot be deleted. Does
  // nothing when no lock is held, so that it is safe to call twice. Keeps
  // the system's error code as it was.
  void Release();

  // Whether this object holds its lock.
  bool Held() const { return file_ != kNoFile; }

  // The path given to the latest Acquire.
  const std::string& Path() const { return path_; }

  // Who holds the lock on Path() now: LockHolder(Path()).
  std::string Holder() const;

 private:
  FileHandle file_ = kNoFile;
  std::string path_;
};

}  // namespace platform
