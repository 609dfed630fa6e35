// Files and folders.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform {

// The full path of a name, joined to the current directory and normalised
// lexically ("." and ".." removed, links not resolved). An empty name gives
// the current directory.
std::string FullPath(const std::string& name);
std::string CurrentDirectory();
bool SetCurrentDirectory(const std::string& path);

// True for an existing file; a folder does not count.
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

// What stands at a path, links followed. Missing also when the path cannot
// be looked at (a dangling link, a folder that cannot be searched), with the
// system's error kept. Other is what a text can never be: on POSIX a FIFO, a
// device or a socket; on Windows a device or a pipe.
enum class PathKind { Missing, File, Folder, Other };
PathKind KindOfPath(const std::string& path);

// Whole-file reading and writing. WriteWholeFile creates or replaces.
bool ReadWholeFile(const std::string& path, std::string* data);
bool WriteWholeFile(const std::string& path, const std::string& data);
bool DeleteFile(const std::string& path);
// Adds data at the end of the file, created when missing, with one write,
// so that lines that several processes append to one file never mix.
bool AppendToFile(const std::string& path, const std::string& data);
// Replaces the content of a file as one step: the data goes to a temporary
// file beside it, written through to the disk, which then takes its name,
// so that a crash or a power cut leaves the old file or the new one, whole.
bool ReplaceFileContent(const std::string& path, const std::string& data);

// Takes an exclusive lock on the file at path, created when missing, for
// the rest of the process's life; the system lets it go when the process
// ends, however it ends. Busy when another process holds it. The file is
// never deleted, and worker processes do not inherit the lock. A lock file
// that this user may not write (another user's, in a folder they share) is
// locked through a read-only descriptor (POSIX). Failed with the system's
// error: a missing file in a folder this user may not write gives EACCES or
// EROFS. See file_lock.h for a lock that is given back.
enum class LockResult { Locked, Busy, Failed };
LockResult LockForProcessLife(const std::string& path);

// Who holds the lock on the file at path, as its holder wrote it: one line
// "process user host" ("12345 mario portatile"). Empty when the file cannot
// be read, holds no such line, or names a process of this host that has
// ended (its lock, taken read-only, could not update the line). Windows
// writes no holder: always empty there.
std::string LockHolder(const std::string& path);

// Size of a regular file, opened for reading while others may read and
// write it; -1 when it cannot be opened or measured, and for anything that
// is not a regular file. Never waits (a FIFO gives -1 at once).
int64_t FileSize(const std::string& path);

// Open files. A handle is an int64 so that both systems' handles fit.
using FileHandle = int64_t;
constexpr FileHandle kNoFile = -1;
// Opens a regular file for reading, sharing reading and writing with
// others. Never waits: on POSIX the open cannot block (a FIFO without a
// writer, a terminal) and anything that is not a regular file is refused,
// a folder with kErrorIsFolder, a FIFO, device or socket with
// kErrorNotAFile (ENXIO), before or just after the open. Reads on the
// handle then wait for their data as usual.
FileHandle OpenFileForReading(const std::string& path);
// Creates a file, or empties an existing one, for writing.
FileHandle CreateFileForWriting(const std::string& path);
// Opens a file for writing at its end, created when missing; every write
// goes to the end as one step, also when other processes write to it.
FileHandle OpenFileForAppending(const std::string& path);
// Creates a new file for writing; fails when anything has that name
// already, a link (even a dangling one) included, so that nothing is ever
// written through a link or into another process's file.
FileHandle CreateNewFileForWriting(const std::string& path);
// Writes a file's data through to the disk. A file that cannot be synced
// (a pipe, a device) counts as synced.
bool SyncFile(FileHandle file);
// Writes the entries of the folder holding path through to the disk, so
// that a file renamed into it keeps its name after a power cut. True where
// the system does that with the rename itself (Windows).
bool SyncFolderOf(const std::string& path);
// Gives file, written under temporary, the name path for good: syncs and
// closes it, renames it over path and syncs the folder, so that after a
// crash or a power cut path holds the old file or this one, whole. False on
// a failure, with the temporary file deleted and the system's error kept.
bool PublishFile(FileHandle file, const std::string& temporary, const std::string& path);
// Reads up to size bytes; false on a failure of the system.
bool ReadFromFile(FileHandle file, void* data, size_t size, size_t* done);
// Writes size bytes; done tells how many were written (fewer on a full disk).
bool WriteToFile(FileHandle file, const void* data, size_t size, size_t* done);
bool CloseFile(FileHandle file);

// Creates a folder with every missing parent; true when it exists after.
bool CreateFolderWithParents(const std::string& path);
// Removes an empty folder.
bool RemoveFolder(const std::string& path);
// Moves (renames) a file, replacing nothing: fails when the target exists.
bool MoveFile(const std::string& from, const std::string& to);
// Gives a file another name in its folder as one step, replacing a file of
// that name: a finished file takes its place whole or not at all.
bool RenameReplacing(const std::string& from, const std::string& to);

// Last modification time of a file as a local DOS date and time (date in the
// upper 16 bits, time in the lower 16, two-second resolution); -1 when the
// file does not exist or is a folder.
int32_t FileDosTime(const std::string& path);

// One entry found by FindFiles.
struct FoundEntry {
  std::string name;  // the entry's own name, without folder
  bool isFolder = false;
  bool isHidden = false;
  bool isSystem = false;  // anything that is neither a file nor a folder
};

// Enumerates the entries of a folder that match a wildcard pattern ("*" and
// "?" in the last component, letters in any case). Returns how the walk
// ended: kErrorNoMoreFiles when every entry was seen, kErrorFileNotFound when
// nothing matched, any other system code for a failure.
int FindFiles(const std::string& pattern, std::vector<FoundEntry>* entries);

}  // namespace platform
