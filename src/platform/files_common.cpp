// Whole-file reading and writing, the same on every system over its open
// files.
#include "platform/files.h"

namespace platform {

namespace {

// Closes a file after a failure, keeping the failure's error code.
void CloseAfterFailure(FileHandle file) {
  int error = LastErrorCode();
  CloseFile(file);
  SetLastErrorCode(error);
}

// Deletes a file after a failure, keeping the failure's error code.
void DeleteAfterFailure(const std::string& path) {
  int error = LastErrorCode();
  DeleteFile(path);
  SetLastErrorCode(error);
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string* data) {
  FileHandle file = OpenFileForReading(path);
  if (file == kNoFile) return false;
  data->clear();
  char buffer[65536];
  size_t done = 0;
  bool ok;
  while ((ok = ReadFromFile(file, buffer, sizeof buffer, &done)) && done > 0)
    data->append(buffer, done);
  if (!ok) {
    CloseAfterFailure(file);
    return false;
  }
  return CloseFile(file);
}

// Writes data to a file just opened (kNoFile: the open failed) and closes it.
bool WriteAndClose(FileHandle file, const std::string& data) {
  if (file == kNoFile) return false;
  size_t done = 0;
  if (!WriteToFile(file, data.data(), data.size(), &done)) {
    CloseAfterFailure(file);
    return false;
  }
  return CloseFile(file);
}

bool WriteWholeFile(const std::string& path, const std::string& data) {
  return WriteAndClose(CreateFileForWriting(path), data);
}

bool AppendToFile(const std::string& path, const std::string& data) {
  return WriteAndClose(OpenFileForAppending(path), data);
}

bool ReplaceFileContent(const std::string& path, const std::string& data) {
  const std::string temporary = path + ".tmp";
  DeleteFile(temporary);  // left by a run that ended while writing it
  FileHandle file = CreateNewFileForWriting(temporary);
  if (file == kNoFile) return false;
  size_t done = 0;
  if (!WriteToFile(file, data.data(), data.size(), &done)) {
    CloseAfterFailure(file);
    DeleteAfterFailure(temporary);
    return false;
  }
  return PublishFile(file, temporary, path);
}

bool PublishFile(FileHandle file, const std::string& temporary, const std::string& path) {
  bool synced = SyncFile(file);
  if (!synced) CloseAfterFailure(file);
  if (synced && CloseFile(file) && RenameReplacing(temporary, path) && SyncFolderOf(path))
    return true;
  DeleteAfterFailure(temporary);
  return false;
}

}  // namespace platform
