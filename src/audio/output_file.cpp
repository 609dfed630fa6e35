#include "audio/output_file.h"

#include "base/errors.h"
#include "base/messages.h"

std::string TemporaryName(const std::string& path) { return path + ".parziale"; }

void TOutputFile::Begin(const std::string& path) {
  TMutexLock hold(&lock_);
  DiscardLocked();
  path_ = path;
  if (platform::FolderExists(path)) {
    platform::SetLastErrorCode(platform::kErrorIsFolder);
    RaiseErrorWithCode(msg::kCannotCreateFile, path, -1);
  }
  file_ = platform::CreateNewFileForWriting(TemporaryName(path));
  if (file_ == platform::kNoFile) RaiseErrorWithCode(msg::kCannotCreateFile, path, -1);
}

bool TOutputFile::Write(const void* data, size_t size, int32_t* error) {
  TMutexLock hold(&lock_);
  size_t done = 0;
  if (file_ != platform::kNoFile && platform::WriteToFile(file_, data, size, &done)) return true;
  if (error) *error = platform::LastErrorCode();
  return false;
}

void TOutputFile::Publish() {
  TMutexLock hold(&lock_);
  if (file_ == platform::kNoFile) return;
  const platform::FileHandle file = file_;
  file_ = platform::kNoFile;
  if (!platform::PublishFile(file, TemporaryName(path_), path_))
    RaiseErrorWithCode(msg::kWriteError, path_, -1);
}

void TOutputFile::Discard() {
  TMutexLock hold(&lock_);
  DiscardLocked();
}

void TOutputFile::DiscardForGood() {
  lock_.Lock();  // never released: the process is about to end
  DiscardLocked();
}

std::string TOutputFile::Path() const {
  TMutexLock hold(&lock_);
  return path_;
}

void TOutputFile::DiscardLocked() {
  if (file_ == platform::kNoFile) return;
  platform::CloseFile(file_);
  file_ = platform::kNoFile;
  platform::DeleteFile(TemporaryName(path_));
}

void MakeOutputFile(TOutputFile& file, const std::string& path,
                    const std::function<void()>& write) {
  file.Begin(path);
  try {
    write();
  } catch (...) {
    file.Discard();
    throw;
  }
  file.Publish();
}
