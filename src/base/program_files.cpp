#include "base/program_files.h"

#include "base/errors.h"
#include "base/file_names.h"
#include "base/messages.h"
#include "platform/files.h"
#include "platform/platform.h"

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
