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
