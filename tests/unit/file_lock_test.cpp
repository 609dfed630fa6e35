// What stands at a path, texts opened without waiting, and the locks on
// files: one holder at a time, no lock file once released, never inherited.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <csignal>
#include <future>

#include "platform/file_lock.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "test_files.h"

extern char** environ;

namespace {

using platform::LockResult;
using platform::PathKind;

TEST(PlatformFiles, OnlyRegularFilesAreOpenedAsTextsAndNothingWaits) {
  TempFolder folder;
  std::string fifo = folder.File("coda");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  ASSERT_EQ(symlink(fifo.c_str(), folder.File("verso-coda").c_str()), 0);
  ASSERT_EQ(symlink("/dev/zero", folder.File("zeri").c_str()), 0);
  ASSERT_EQ(symlink(folder.File("niente").c_str(), folder.File("rotto").c_str()), 0);
  folder.MakeFolder("cartella");
  folder.Write("libro.txt", "Testo.");

  // A FIFO with no writer: an open that waited would never end.
  auto opening = std::async(std::launch::async, [&] {
    platform::FileHandle file = platform::OpenFileForReading(folder.File("verso-coda"));
    return std::make_pair(file, platform::LastErrorCode());
  });
  if (opening.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
    close(open(fifo.c_str(), O_WRONLY | O_NONBLOCK));  // lets it go
    FAIL() << "opening a FIFO waits for a writer";
  }
  EXPECT_EQ(opening.get(), std::make_pair(platform::kNoFile, platform::kErrorNotAFile));

  const struct {
    const char* name;
    PathKind kind;
    int64_t size;
    int openError;
  } paths[] = {
      {"libro.txt", PathKind::File, 6, 0},
      {"cartella", PathKind::Folder, -1, platform::kErrorIsFolder},
      {"coda", PathKind::Other, -1, platform::kErrorNotAFile},
      {"zeri", PathKind::Other, -1, platform::kErrorNotAFile},
      {"rotto", PathKind::Missing, -1, ENOENT},
  };
  for (const auto& path : paths) {
    const std::string full = folder.File(path.name);
    EXPECT_EQ(platform::KindOfPath(full), path.kind) << path.name;
    EXPECT_EQ(platform::FileSize(full), path.size) << path.name;
    platform::FileHandle file = platform::OpenFileForReading(full);
    EXPECT_EQ(file == platform::kNoFile ? platform::LastErrorCode() : 0, path.openError)
        << path.name;
    if (file == platform::kNoFile) continue;
    // A text's reads wait for their data again.
    EXPECT_EQ(fcntl(static_cast<int>(file), F_GETFL) & O_NONBLOCK, 0);
    platform::CloseFile(file);
  }
}

TEST(FileLock, OneHolderAtATimeNoLockFileWhenReleasedAndNeverInherited) {
  TempFolder folder;
  const std::string path = folder.File(".narravox.lock");
  platform::TFileLock first, second;
  ASSERT_EQ(first.Acquire(path), LockResult::Locked);
  EXPECT_EQ(second.Acquire(path), LockResult::Busy);
  EXPECT_EQ(second.Holder().substr(0, std::to_string(getpid()).size() + 1),
            std::to_string(getpid()) + " ");
  first.Release();
  first.Release();
  EXPECT_FALSE(folder.Exists(".narravox.lock"));
  EXPECT_EQ(second.Acquire(path), LockResult::Locked);
  second.Release();

  // The lock for the life of a process stays on a file that stays. A
  // program that the holder started does not take it along: once the
  // holder has ended, the lock is free though that program still runs.
  int report[2];
  ASSERT_EQ(pipe(report), 0);
  pid_t holder = fork();
  if (holder == 0) {
    if (platform::LockForProcessLife(path) != LockResult::Locked) _exit(1);
    char program[] = "sleep", seconds[] = "30";
    char* argv[] = {program, seconds, nullptr};
    pid_t started = -1;
    if (posix_spawnp(&started, "sleep", nullptr, nullptr, argv, environ) != 0) _exit(2);
    _exit(write(report[1], &started, sizeof started) == sizeof started ? 0 : 3);
  }
  close(report[1]);
  pid_t started = -1;
  int status = -1;
  waitpid(holder, &status, 0);
  ASSERT_EQ(status, 0);
  ASSERT_EQ(read(report[0], &started, sizeof started), static_cast<ssize_t>(sizeof started));
  close(report[0]);
  EXPECT_TRUE(folder.Exists(".narravox.lock"));
  EXPECT_EQ(first.Acquire(path), LockResult::Locked);
  kill(started, SIGKILL);
}

}  // namespace
