#include "config/engine_location.h"

#include "config/config_file.h"
#include "base/settings.h"
#include "text/ascii.h"
#include "base/console_out.h"
#include "base/errors.h"
#include "base/file_names.h"
#include "base/messages.h"
#include "base/program_files.h"
#include "base/run_state.h"
#include "platform/platform.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "text/lines.h"

namespace {

const char* const kVendorKey = "Software\\Freedom Scientific\\";
const char* const kProducts[] = {"JAWS", "Eloquence", "Runtime JAWS"};

bool StartsWithEciDll(const std::string& line) {
  return UpperAscii(line.substr(0, 7)) == "ECIDLL=";
}

std::string WithLibraryName(const std::string& folder) {
  std::string path = folder;
  if (path.empty() || path.back() != platform::kPathSeparator) path += platform::kPathSeparator;
  return path + platform::kDefaultEngineLibrary;
}

}  // namespace

std::string SetupEciPath(const std::string& given) {
  // On POSIX the library is recorded by its full path, so that no run looks
  // for it in the folder it stands in.
  std::string path =
      platform::kUnixConventions ? platform::FullPath(ExpandHomeFolder(given)) : given;
  if (!platform::FileExists(path)) {
    path = WithLibraryName(path);
    if (!platform::FileExists(path)) RaiseErrorWithCode(msg::kFileNotFound, path, -1);
  }
  std::string configPath = ConfigFilePath();
  std::vector<std::string> lines;
  std::string text;
  if (platform::FileExists(configPath)) {
    if (!platform::ReadWholeFile(configPath, &text)) RaiseFileOpenError(configPath);
    lines = text::SplitLines(text);
    text.clear();
  } else if (platform::kUnixConventions) {
    // A new file of the user's starts as a short guide to itself.
    CreateFolderOf(configPath);
    text = msg::kStarterConfigHeader;
  }
  bool replaced = false;
  for (std::string& line : lines) {
    if (StartsWithEciDll(line)) {
      line = line.substr(0, 7) + path;
      replaced = true;
      break;
    }
  }
  if (!replaced) lines.push_back("ECIDLL=" + path);
  for (const std::string& line : lines) text += line + "\r\n";
  if (!platform::WriteWholeFile(configPath, text)) RaiseFileCreateError(configPath);
  if (Settings.VERBOSITA > 0) {
    PrintBanner();
    RunState.BannerPrinted = true;
    PrintLine(platform::kUnixConventions ? FormatText(msg::kConfigUpdatedAt, {configPath})
                                         : std::string(msg::kConfigUpdated));
  }
  return path;
}

std::string FindEciForProduct(const std::string& product) {
  std::string result;
  int32_t bestTime = 0;
  std::string productKey = kVendorKey + product;
  platform::RegistryKey key;
  if (!platform::OpenRegistryKey(productKey, &key)) return result;
  std::vector<std::string> names = platform::RegistrySubkeys(key);
  platform::CloseRegistryKey(key);
  for (const std::string& name : names) {
    platform::RegistryKey subkey;
    if (!platform::OpenRegistryKey(productKey + "\\" + name, &subkey)) continue;
    std::string target;
    platform::RegistryValueKind kind = platform::ReadRegistryValue(subkey, "Target", &target);
    platform::CloseRegistryKey(subkey);
    if (kind == platform::RegistryValueKind::Other)
      RaiseError(FormatText(msg::kInvalidDataType, {"Target"}));
    if (target.empty()) continue;
    std::string candidate = WithLibraryName(target);
    int32_t time = platform::FileDosTime(candidate);
    if (time > bestTime) {
      result = candidate;
      bestTime = time;
    }
  }
  return result;
}

std::string FindEciInRegistry() {
  for (const char* product : kProducts) {
    std::string found = FindEciForProduct(product);
    if (!found.empty()) return found;
  }
  return std::string();
}

std::string FindInstalledEci() {
  if (!platform::kUnixConventions) return std::string();
  std::string path = ProgramFiles().LibraryFolder + platform::kDefaultEngineLibrary;
  return platform::FileExists(path) ? path : std::string();
}

void LocateEngine() {
  if (Settings.EciPathGiven) return;
  // The library's own name is a file of the current folder on Windows; on
  // POSIX it is looked for only among the program's own libraries.
  if (!platform::kUnixConventions && platform::FileExists(Settings.ECIDLL)) return;
  std::string found = FindInstalledEci();
  if (found.empty()) found = FindEciInRegistry();
  if (found.empty())
    RaiseError(platform::kUnixConventions ? msg::kEngineNotFoundPosix : msg::kEngineNotFound);
  EditableSettings().ECIDLL = SetupEciPath(found);
}
