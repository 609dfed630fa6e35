#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "text/ascii.h"

namespace platform {

std::string CurrentDirectory() {
  char buffer[PATH_MAX + 1];
  if (!getcwd(buffer, sizeof buffer)) return std::string();
  return buffer;
}

bool SetCurrentDirectory(const std::string& path) {
  return chdir(path.c_str()) == 0;
}

std::string FullPath(const std::string& name) {
  std::string joined = (!name.empty() && name[0] == '/')
                           ? name
                           : CurrentDirectory() + "/" + name;
  bool trailing = !name.empty() && name.back() == '/';
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= joined.size()) {
    size_t end = joined.find('/', start);
    if (end == std::string::npos) end = joined.size();
    std::string part = joined.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string full;
  for (const std::string& part : parts) full += "/" + part;
  if (full.empty() || trailing) full += "/";
  return full;
}

bool FileExists(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return false;
  if (S_ISREG(st.st_mode)) return true;
  errno = S_ISDIR(st.st_mode) ? EISDIR : ENOENT;
  return false;
}

bool FolderExists(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return false;
  if (S_ISDIR(st.st_mode)) return true;
  errno = ENOTDIR;
  return false;
}

PathKind KindOfPath(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return PathKind::Missing;
  if (S_ISREG(st.st_mode)) return PathKind::File;
  return S_ISDIR(st.st_mode) ? PathKind::Folder : PathKind::Other;
}

bool DeleteFile(const std::string& path) { return unlink(path.c_str()) == 0; }

int64_t FileSize(const std::string& path) {
  FileHandle file = OpenFileForReading(path);
  if (file == kNoFile) return -1;
  struct stat st;
  int64_t size = fstat(static_cast<int>(file), &st) == 0 ? st.st_size : -1;
  close(static_cast<int>(file));
  return size;
}

FileHandle OpenFileForReading(const std::string& path) {
  // A FIFO, a device or a socket is not opened at all where that shows
  // beforehand: opening some devices does something of its own.
  struct stat st;
  if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
    errno = kErrorNotAFile;
    return kNoFile;
  }
  // What took the name meanwhile is opened without waiting (a FIFO waits
  // for a writer, a terminal for a carrier) and refused after.
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return kNoFile;
  int error = 0;
  int flags = -1;
  if (fstat(fd, &st) != 0)
    error = errno;
  else if (!S_ISREG(st.st_mode))
    error = S_ISDIR(st.st_mode) ? kErrorIsFolder : kErrorNotAFile;
  else if ((flags = fcntl(fd, F_GETFL)) < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
    error = errno;
  if (error != 0) {
    close(fd);
    errno = error;
    return kNoFile;
  }
  return fd;
}

FileHandle CreateFileForWriting(const std::string& path) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  return fd < 0 ? kNoFile : fd;
}

FileHandle OpenFileForAppending(const std::string& path) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  return fd < 0 ? kNoFile : fd;
}

FileHandle CreateNewFileForWriting(const std::string& path) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  return fd < 0 ? kNoFile : fd;
}

bool SyncFile(FileHandle file) {
  return fsync(static_cast<int>(file)) == 0 || errno == EINVAL || errno == EROFS;
}

bool SyncFolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  // Some file systems cannot sync a folder; their renames are as durable as
  // they get.
  bool ok = fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
  int error = errno;
  close(fd);
  errno = error;
  return ok;
}

bool ReadFromFile(FileHandle file, void* data, size_t size, size_t* done) {
  *done = 0;
  while (*done < size) {
    ssize_t n = read(static_cast<int>(file), static_cast<char*>(data) + *done, size - *done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    *done += static_cast<size_t>(n);
  }
  return true;
}

bool WriteToFile(FileHandle file, const void* data, size_t size, size_t* done) {
  *done = 0;
  while (*done < size) {
    ssize_t n = write(static_cast<int>(file), static_cast<const char*>(data) + *done,
                      size - *done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      return false;
    }
    *done += static_cast<size_t>(n);
  }
  return true;
}

bool CloseFile(FileHandle file) { return close(static_cast<int>(file)) == 0; }

bool CreateFolderWithParents(const std::string& path) {
  if (path.empty()) return false;
  for (size_t cut = 1;; ++cut) {
    cut = path.find('/', cut);
    std::string prefix = cut == std::string::npos ? path : path.substr(0, cut);
    if (mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) return false;
    if (cut == std::string::npos) break;
  }
  return FolderExists(path);
}

bool RemoveFolder(const std::string& path) { return rmdir(path.c_str()) == 0; }

bool MoveFile(const std::string& from, const std::string& to) {
  struct stat st;
  if (lstat(to.c_str(), &st) == 0) {
    errno = EEXIST;
    return false;
  }
  return rename(from.c_str(), to.c_str()) == 0;
}

bool RenameReplacing(const std::string& from, const std::string& to) {
  return rename(from.c_str(), to.c_str()) == 0;
}

int32_t FileDosTime(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  struct tm local;
  time_t when = st.st_mtime;
  if (!localtime_r(&when, &local)) return -1;
  int year = local.tm_year + 1900;
  if (year < 1980) return (1 << 5 | 1) << 16;  // 1 January 1980, 00:00
  uint32_t date = static_cast<uint32_t>((year - 1980) << 9 |
                                        (local.tm_mon + 1) << 5 | local.tm_mday);
  uint32_t time = static_cast<uint32_t>(local.tm_hour << 11 | local.tm_min << 5 |
                                        local.tm_sec / 2);
  return static_cast<int32_t>(date << 16 | time);
}

namespace {

// "*" any run of characters, "?" one character, letters in any case.
bool Matches(const char* pattern, const char* name) {
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name) {
    if (*pattern == '*') {
      star = pattern++;
      resume = name;
    } else if (*pattern == '?' ||
               UpperAscii(*pattern) == UpperAscii(*name)) {
      ++pattern;
      ++name;
    } else if (star) {
      pattern = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == 0;
}

bool MatchesLikeWindows(const std::string& pattern, const std::string& name) {
  if (Matches(pattern.c_str(), name.c_str())) return true;
  // As on Windows, a final ".*" also matches a name without extension.
  if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0 &&
      name.find('.') == std::string::npos)
    return Matches(pattern.substr(0, pattern.size() - 2).c_str(), name.c_str());
  return false;
}

}  // namespace

int FindFiles(const std::string& pattern, std::vector<FoundEntry>* entries) {
  entries->clear();
  size_t slash = pattern.rfind('/');
  std::string folder = slash == std::string::npos ? "./" : pattern.substr(0, slash + 1);
  std::string mask = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  DIR* dir = opendir(folder.c_str());
  if (!dir) return errno == ENOENT ? kErrorFileNotFound : errno;
  int result = kErrorNoMoreFiles;
  for (;;) {
    errno = 0;
    dirent* entry = readdir(dir);
    if (!entry) {
      if (errno != 0) result = errno;
      break;
    }
    std::string name = entry->d_name;
    if (name == "." || name == ".." || !MatchesLikeWindows(mask, name)) continue;
    FoundEntry found;
    found.name = name;
    found.isHidden = name[0] == '.';
    struct stat st;
    if (stat((folder + name).c_str(), &st) != 0) {
      found.isSystem = true;  // a dangling link or an entry gone meanwhile
    } else {
      found.isFolder = S_ISDIR(st.st_mode);
      found.isSystem = !found.isFolder && !S_ISREG(st.st_mode);
    }
    entries->push_back(found);
  }
  closedir(dir);
  // Deliver the entries in a fixed order, as the Windows file system does.
  std::stable_sort(entries->begin(), entries->end(),
                   [](const FoundEntry& a, const FoundEntry& b) {
                     return UpperAscii(a.name) < UpperAscii(b.name);
                   });
  if (entries->empty() && result == kErrorNoMoreFiles) return kErrorFileNotFound;
  return result;
}

}  // namespace platform
