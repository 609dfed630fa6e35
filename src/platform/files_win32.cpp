#include "platform/files.h"

#include <windows.h>

// The layer's own names, not the system's A/W macros.
#undef DeleteFile
#undef MoveFile
#undef SetCurrentDirectory

namespace platform {

namespace {

HANDLE ToHandle(FileHandle file) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(file)); }

FileHandle FromHandle(HANDLE handle) {
  return handle == INVALID_HANDLE_VALUE ? kNoFile
                                        : static_cast<FileHandle>(reinterpret_cast<intptr_t>(handle));
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Where the folders of a full path begin: after "C:\", after "\\server\share\"
// or after a leading backslash.
size_t RootLength(const std::string& path) {
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    size_t server = path.find_first_of("\\/", 2);
    if (server == std::string::npos) return path.size();
    size_t share = path.find_first_of("\\/", server + 1);
    return share == std::string::npos ? path.size() : share + 1;
  }
  if (path.size() >= 2 && path[1] == ':')
    return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 2;
  return !path.empty() && IsSeparator(path[0]) ? 1 : 0;
}

}  // namespace

std::string CurrentDirectory() {
  DWORD size = GetCurrentDirectoryA(0, nullptr);
  if (size == 0) return std::string();
  std::string buffer(size, '\0');
  DWORD length = GetCurrentDirectoryA(size, &buffer[0]);
  if (length == 0 || length >= size) return std::string();
  buffer.resize(length);
  return buffer;
}

bool SetCurrentDirectory(const std::string& path) {
  return SetCurrentDirectoryA(path.c_str()) != 0;
}

std::string FullPath(const std::string& name) {
  const char* source = name.empty() ? "." : name.c_str();
  DWORD size = GetFullPathNameA(source, 0, nullptr, nullptr);
  if (size == 0) return std::string();
  std::string buffer(size, '\0');
  DWORD length = GetFullPathNameA(source, size, &buffer[0], nullptr);
  if (length == 0 || length >= size) return std::string();
  buffer.resize(length);
  return buffer;
}

bool FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
  SetLastError(ERROR_FILE_NOT_FOUND);  // a folder counts as a missing file
  return false;
}

bool FolderExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return true;
  SetLastError(ERROR_DIRECTORY);
  return false;
}

PathKind KindOfPath(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PathKind::Folder;
  // Device names (CON, NUL, COM1) have attributes too: what the name opens
  // tells them apart. A file that cannot be opened is still a file.
  HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return PathKind::File;
  DWORD type = GetFileType(file);
  CloseHandle(file);
  return type == FILE_TYPE_DISK ? PathKind::File : PathKind::Other;
}

bool DeleteFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

int64_t FileSize(const std::string& path) {
  FileHandle file = OpenFileForReading(path);
  if (file == kNoFile) return -1;
  LARGE_INTEGER size;
  int64_t result = GetFileSizeEx(ToHandle(file), &size) ? size.QuadPart : -1;
  CloseHandle(ToHandle(file));
  return result;
}

FileHandle OpenFileForReading(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE || GetFileType(file) == FILE_TYPE_DISK) return FromHandle(file);
  CloseHandle(file);  // a device or a pipe
  SetLastError(kErrorNotAFile);
  return kNoFile;
}

FileHandle CreateFileForWriting(const std::string& path) {
  return FromHandle(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

FileHandle OpenFileForAppending(const std::string& path) {
  return FromHandle(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

FileHandle CreateNewFileForWriting(const std::string& path) {
  // CREATE_NEW fails on any existing name; a reparse point is not followed.
  return FromHandle(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

bool SyncFile(FileHandle file) {
  if (FlushFileBuffers(ToHandle(file))) return true;
  return GetLastError() == ERROR_INVALID_HANDLE || GetLastError() == ERROR_INVALID_FUNCTION;
}

bool SyncFolderOf(const std::string&) { return true; }

bool ReadFromFile(FileHandle file, void* data, size_t size, size_t* done) {
  *done = 0;
  while (*done < size) {
    DWORD want = static_cast<DWORD>(size - *done < 0x40000000u ? size - *done : 0x40000000u);
    DWORD got = 0;
    if (!ReadFile(ToHandle(file), static_cast<char*>(data) + *done, want, &got, nullptr))
      return false;
    if (got == 0) break;
    *done += got;
  }
  return true;
}

bool WriteToFile(FileHandle file, const void* data, size_t size, size_t* done) {
  *done = 0;
  while (*done < size) {
    DWORD want = static_cast<DWORD>(size - *done < 0x40000000u ? size - *done : 0x40000000u);
    DWORD put = 0;
    if (!WriteFile(ToHandle(file), static_cast<const char*>(data) + *done, want, &put, nullptr))
      return false;
    if (put == 0) {
      SetLastError(ERROR_DISK_FULL);
      return false;
    }
    *done += put;
  }
  return true;
}

bool CloseFile(FileHandle file) { return CloseHandle(ToHandle(file)) != 0; }

bool CreateFolderWithParents(const std::string& path) {
  if (path.empty()) return false;
  for (size_t cut = RootLength(path);; ++cut) {
    cut = path.find_first_of("\\/", cut);
    std::string prefix = cut == std::string::npos ? path : path.substr(0, cut);
    if (prefix.size() > RootLength(path) && !IsSeparator(prefix.back()) &&
        !CreateDirectoryA(prefix.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
      return false;
    if (cut == std::string::npos) break;
  }
  if (FolderExists(path)) return true;
  SetLastError(ERROR_ALREADY_EXISTS);  // a file stands where the folder should be
  return false;
}

bool RemoveFolder(const std::string& path) { return RemoveDirectoryA(path.c_str()) != 0; }

bool MoveFile(const std::string& from, const std::string& to) {
  return MoveFileA(from.c_str(), to.c_str()) != 0;
}

bool RenameReplacing(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

int32_t FileDosTime(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return -1;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -1;
  FILETIME written, local;
  WORD date = 0, time = 0;
  bool ok = GetFileTime(file, nullptr, nullptr, &written) &&
            FileTimeToLocalFileTime(&written, &local) &&
            FileTimeToDosDateTime(&local, &date, &time);
  CloseHandle(file);
  if (!ok) return -1;
  return static_cast<int32_t>(static_cast<uint32_t>(date) << 16 | time);
}

int FindFiles(const std::string& pattern, std::vector<FoundEntry>* entries) {
  entries->clear();
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA(pattern.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
  // The file system's own order: NTFS delivers names sorted already.
  do {
    std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    FoundEntry found;
    found.name = name;
    found.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    found.isHidden = (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
    found.isSystem = (data.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
    entries->push_back(found);
  } while (FindNextFileA(search, &data));
  int result = static_cast<int>(GetLastError());
  FindClose(search);
  return result;
}

}  // namespace platform
