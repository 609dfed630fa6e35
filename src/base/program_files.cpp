#include "base/program_files.h"

#include <algorithm>

#include "base/errors.h"
#include "base/file_names.h"
#include "base/messages.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "text/lines.h"

namespace {

const char kSeparator = platform::kPathSeparator;

// A folder of the XDG base directories: the variable's value when it holds a
// full path, else the home folder's subfolder; empty when neither is known.
std::string UserFolder(const char* variable, const char* underHome) {
  std::string folder = platform::EnvironmentVariable(variable);
  if (folder.empty() || folder[0] != kSeparator) {
    std::string home = platform::HomeFolder();
    if (home.empty()) return std::string();
    folder = home + kSeparator + underHome;
  }
  if (folder.back() != kSeparator) folder += kSeparator;
  return folder + "narravox" + kSeparator;
}

std::string InstalledLibraryFolder(const std::string& programFolder) {
  if (platform::FileExists(programFolder + platform::kDefaultEncoderLibrary)) return programFolder;
  std::string installed = platform::FullPath(programFolder + "../lib/narravox");
  if (!platform::FolderExists(installed)) return programFolder;
  return installed + kSeparator;
}

}  // namespace

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind(kSeparator);
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

TProgramFiles ProgramFiles() {
  TProgramFiles files;
  files.ConfigFile = ProgramFileWithExtension(".INI");
  files.RecoveryFile = ProgramFileWithExtension(".dat");
  files.LibraryFolder = FolderOf(platform::ProgramPath());
  if (!platform::kUnixConventions) return files;
  files.LibraryFolder = InstalledLibraryFolder(files.LibraryFolder);
  if (platform::FileExists(files.ConfigFile)) return files;
  std::string config = UserFolder("XDG_CONFIG_HOME", ".config");
  std::string state = UserFolder("XDG_STATE_HOME", ".local/state");
  if (config.empty() || state.empty()) return files;
  files.Portable = false;
  files.ConfigFile = config + "narravox.INI";
  files.RecoveryFile = state + "narravox.dat";
  return files;
}

void CreateFolderOf(const std::string& path) {
  std::string folder = FolderOf(path);
  if (!folder.empty() && !platform::CreateFolderWithParents(folder))
    RaiseErrorWithCode(msg::kCannotCreateFolder, folder, -1);
}

namespace {

// A slot's path is before + n + after: "-n" goes before the extension.
struct TSlotName {
  std::string before, after;
};

TSlotName SlotName(const std::string& recoveryFile) {
  size_t name = recoveryFile.rfind(kSeparator) + 1;
  size_t dot = recoveryFile.rfind('.');
  if (dot == std::string::npos || dot < name) dot = recoveryFile.size();
  return {recoveryFile.substr(0, dot) + "-", recoveryFile.substr(dot)};
}

}  // namespace

std::string RecoverySlot(const std::string& recoveryFile, int slot) {
  if (slot <= 1) return recoveryFile;
  TSlotName name = SlotName(recoveryFile);
  return name.before + std::to_string(slot) + name.after;
}

std::vector<int> ExistingRecoverySlots(const std::string& recoveryFile) {
  const TSlotName name = SlotName(recoveryFile);
  std::vector<platform::FoundEntry> entries;
  platform::FindFiles(name.before + "*" + name.after, &entries);
  const size_t before = name.before.size() - (name.before.rfind(kSeparator) + 1);
  const size_t after = name.after.size();
  std::vector<int> slots;
  for (const platform::FoundEntry& entry : entries) {
    if (entry.isFolder || entry.name.size() <= before + after) continue;
    std::string digits = entry.name.substr(before, entry.name.size() - before - after);
    int32_t n = 0;
    // Only the names that RecoverySlot makes: no sign, no leading zero.
    if (text::ParseInteger(digits, &n, false) && n > 1 && std::to_string(n) == digits)
      slots.push_back(n);
  }
  std::sort(slots.begin(), slots.end());
  return slots;
}
