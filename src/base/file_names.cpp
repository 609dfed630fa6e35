#include "base/file_names.h"

#include "text/ascii.h"
#include "base/errors.h"
#include "base/messages.h"
#include "platform/files.h"
#include "text/lines.h"

std::string ResolveFileName(const std::string& name, const std::string& ext) {
  std::string full = platform::FullPath(name);
  if (platform::FileExists(full)) return full;
  if (!ext.empty() && full.find('.') == std::string::npos) {
    if (platform::FileExists(full + ext)) return full + ext;
    std::string lower = LowerAscii(ext);
    if (platform::kCaseSensitiveFileNames && platform::FileExists(full + lower)) return full + lower;
  }
  // A folder or a device named as it is, when no text has its name: the
  // conversion tells the user what it is.
  if (!name.empty() && platform::KindOfPath(full) != platform::PathKind::Missing) return full;
  RaiseErrorWithCode(msg::kFileNotFound, name, platform::kErrorFileNotFound);
}

std::string TextNameOfFile(const std::string& path) {
  size_t slash = path.rfind(platform::kPathSeparator);
  std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = file.rfind('.');
  std::string name = dot == std::string::npos ? file : file.substr(0, dot);
  if (name.find_first_not_of('.') == std::string::npos) return "_" + file;
  return name;
}

std::string ExpandHomeFolder(const std::string& path) {
  if (!platform::kUnixConventions || path.empty() || path[0] != '~') return path;
  if (path.size() > 1 && path[1] != '/') return path;
  std::string home = platform::HomeFolder();
  if (home.empty()) return path;
  while (home.size() > 1 && home.back() == '/') home.pop_back();
  std::string rest = path.substr(1);
  if (home == "/") return rest.empty() ? home : rest;
  return home + rest;
}

std::vector<std::string> LoadTextList(const std::string& name, const std::string& ext) {
  std::string path = ResolveFileName(name, ext);
  std::string text;
  if (!platform::ReadWholeFile(path, &text))
    RaiseErrorWithCode(msg::kCannotReadFile, path, -1);
  return text::SplitLines(text);
}

std::string ProgramFileWithExtension(const std::string& ext) {
  std::string path = platform::ProgramPath();
  size_t slash = path.find_last_of(platform::kPathSeparator == '/' ? "/" : "\\/:");
  size_t dot = path.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
    path.erase(dot);
  return path + ext;
}
