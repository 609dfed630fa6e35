// Locks on files with flock: the lock belongs to the open file, so that the
// system lets it go with the last descriptor, when the process ends at the
// latest.
#include "platform/file_lock.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>

namespace platform {

namespace {

// How often a lock file deleted or replaced under this process is opened
// again before the lock counts as busy: each time another process took it.
constexpr int kLockAttempts = 100;

// Opens the lock file at path, created when missing: for writing where this
// user may, read-only where the file exists but is not this user's to write
// (another user's file in a folder they share, a read-only medium).
// Neither open waits, as one of a FIFO would.
int OpenLockFile(const std::string& path, bool* writable) {
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  *writable = fd >= 0;
  if (fd >= 0 || (errno != EACCES && errno != EPERM && errno != EROFS)) return fd;
  int refused = errno;
  fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  // A missing file was refused for its folder.
  if (fd < 0 && errno == ENOENT) errno = refused;
  return fd;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Closes fd and fails with the error.
LockResult FailWith(int fd, int error) {
  close(fd);
  errno = error;
  return error == EWOULDBLOCK ? LockResult::Busy : LockResult::Failed;
}

// Locks the file at path; on Locked, *held is the descriptor that holds it.
LockResult LockFile(const std::string& path, int* held, bool* writable) {
  for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
    int fd = OpenLockFile(path, writable);
    if (fd < 0) return LockResult::Failed;
    struct stat opened;
    if (fstat(fd, &opened) != 0) return FailWith(fd, errno);
    if (!S_ISREG(opened.st_mode))
      return FailWith(fd, S_ISDIR(opened.st_mode) ? kErrorIsFolder : kErrorNotAFile);
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) return FailWith(fd, errno);
    // The holder before may have deleted the file after this open and
    // before this lock, as a release does: the lock then is on a file that
    // no longer has the name, which another process may have locked anew.
    struct stat named;
    if (stat(path.c_str(), &named) == 0 && SameFile(named, opened)) {
      *held = fd;
      return LockResult::Locked;
    }
    close(fd);
  }
  errno = EWOULDBLOCK;
  return LockResult::Busy;
}

std::string UserName() {
  passwd entry;
  passwd* found = nullptr;
  char buffer[4096];
  if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found && found->pw_name &&
      *found->pw_name)
    return found->pw_name;
  return std::to_string(getuid());
}

std::string HostName() {
  char buffer[256] = "";
  if (gethostname(buffer, sizeof buffer - 1) != 0 || buffer[0] == 0) return "?";
  return buffer;
}

// A name as one word of the holder line.
std::string Word(std::string name) {
  for (char& c : name)
    if (c == ' ' || c == '\n' || c == '\r' || c == '\t') c = '_';
  return name;
}

// Writes the holder line into the locked file; a failure (a full disk, a
// file size limit) leaves the holder unknown and the lock held.
void WriteHolder(int fd) {
  std::string line =
      std::to_string(getpid()) + " " + Word(UserName()) + " " + Word(HostName()) + "\n";
  if (ftruncate(fd, 0) != 0) return;
  ssize_t written;
  do written = pwrite(fd, line.data(), line.size(), 0);
  while (written < 0 && errno == EINTR);
}

// The fields of a holder line "process user host"; false when it is not one.
bool ParseHolder(const std::string& line, long* process, std::string* host) {
  size_t first = line.find(' ');
  size_t second = first == std::string::npos ? first : line.find(' ', first + 1);
  if (first == 0 || second == std::string::npos || second == first + 1 ||
      second + 1 >= line.size() || line.find(' ', second + 1) != std::string::npos)
    return false;
  *process = 0;
  for (size_t i = 0; i < first; ++i) {
    if (line[i] < '0' || line[i] > '9' || *process > 99999999) return false;
    *process = *process * 10 + (line[i] - '0');
  }
  *host = line.substr(second + 1);
  return *process > 0;
}

}  // namespace

LockResult LockForProcessLife(const std::string& path) {
  int fd = -1;
  bool writable = false;
  LockResult result = LockFile(path, &fd, &writable);
  // The descriptor stays open, and the lock held, until the process ends.
  if (result == LockResult::Locked && writable) WriteHolder(fd);
  return result;
}

std::string LockHolder(const std::string& path) {
  FileHandle file = OpenFileForReading(path);
  if (file == kNoFile) return std::string();
  char buffer[512];
  size_t got = 0;
  bool ok = ReadFromFile(file, buffer, sizeof buffer, &got);
  CloseFile(file);
  std::string text(buffer, ok ? got : 0);
  size_t end = text.find('\n');
  if (end == std::string::npos) return std::string();  // none, or half written
  std::string line = text.substr(0, end);
  long process = 0;
  std::string host;
  if (!ParseHolder(line, &process, &host)) return std::string();
  // A holder that locked read-only left the line of the one before it.
  if (host == HostName() && kill(static_cast<pid_t>(process), 0) != 0 && errno == ESRCH)
    return std::string();
  return line;
}

TFileLock::~TFileLock() { Release(); }

LockResult TFileLock::Acquire(const std::string& path) {
  path_ = path;
  int fd = -1;
  bool writable = false;
  LockResult result = LockFile(path, &fd, &writable);
  if (result != LockResult::Locked) return result;
  file_ = fd;
  if (writable) WriteHolder(fd);
  return result;
}

void TFileLock::Release() {
  if (file_ == kNoFile) return;
  int error = errno;
  int fd = static_cast<int>(file_);
  // Deleted while still locked: one who opened it meanwhile finds, once
  // it has the lock, that the name is gone, and opens it again.
  struct stat held, named;
  if (fstat(fd, &held) == 0 && stat(path_.c_str(), &named) == 0 && SameFile(held, named))
    unlink(path_.c_str());
  close(fd);
  file_ = kNoFile;
  errno = error;
}

std::string TFileLock::Holder() const { return LockHolder(path_); }

}  // namespace platform
