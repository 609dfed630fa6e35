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

// Whole-file reading and writing. WriteWholeFile creates or replaces.
bool ReadWholeFile(const std::string& path, std::string* data);
bool WriteWholeFile(const std::string& path, const std::string& data);
bool DeleteFile(const std::string& path);
// Replaces the content of a file as one step: the data goes to a temporary
// file beside it, written through to the disk, which then takes its name,
// so that a crash or a power cut leaves the old file or the new one, whole.
bool ReplaceFileContent(const std::string& path, const std::string& data);

// Takes an exclusive lock on the file at path, created when missing, for
// the rest of the process's life; the system lets it go when the process
// ends, however it ends. Busy when another process holds it.
enum class LockResult { Locked, Busy, Failed };
LockResult LockForProcessLife(const std::string& path);

// Size of a file, opened for reading while others may read and write it;
// -1 when it cannot be opened or measured.
int64_t FileSize(const std::string& path);

// Open files. A handle is an int64 so that both systems' handles fit.
using FileHandle = int64_t;
constexpr FileHandle kNoFile = -1;
// Opens for reading, sharing reading and writing with others.
FileHandle OpenFileForReading(const std::string& path);
// Creates a file, or empties an existing one, for writing.
FileHandle CreateFileForWriting(const std::string& path);
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
