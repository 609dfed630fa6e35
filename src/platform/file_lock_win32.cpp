// Locks on files opened without sharing: no other process can open the
// file while the handle lives, and the system closes the handle, and
// deletes the file with it, when the process ends.
#include "platform/file_lock.h"

#include <windows.h>

namespace platform {

namespace {

// Opens the file at path, created when missing, for this process alone.
HANDLE OpenUnshared(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

// What a failed OpenUnshared means: a file that another process holds
// refuses sharing, or (about to be deleted by its last holder) access.
LockResult FailedOpen() {
  DWORD error = GetLastError();
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ? LockResult::Busy
                                                                          : LockResult::Failed;
}

}  // namespace

LockResult LockForProcessLife(const std::string& path) {
  // The handle stays open until the process ends, and the file goes with it.
  return OpenUnshared(path) != INVALID_HANDLE_VALUE ? LockResult::Locked : FailedOpen();
}

// Nobody else can open a held file: its holder stays unknown.
std::string LockHolder(const std::string&) { return std::string(); }

TFileLock::~TFileLock() { Release(); }

LockResult TFileLock::Acquire(const std::string& path) {
  path_ = path;
  HANDLE file = OpenUnshared(path);
  if (file == INVALID_HANDLE_VALUE) return FailedOpen();
  file_ = static_cast<FileHandle>(reinterpret_cast<intptr_t>(file));
  return LockResult::Locked;
}

void TFileLock::Release() {
  if (file_ == kNoFile) return;
  DWORD error = GetLastError();
  // Closing the last handle deletes the file.
  CloseHandle(reinterpret_cast<HANDLE>(static_cast<intptr_t>(file_)));
  file_ = kNoFile;
  SetLastError(error);
}

std::string TFileLock::Holder() const { return LockHolder(path_); }

}  // namespace platform
