#include "base/file_names.h"

#include "text/ascii.h"
#include "base/errors.h"
#include "base/messages.h"
#include "platform/files.h"
#include "text/lines.h"

std::string ResolveFileName(const std::string& name, const std::string& ext) {
  std::string full = platform::FullPath(name);
  if (platform::FileExists(full)) return full;
  if (ext.empty() || full.find('.') != std::string::npos)
    RaiseErrorWithCode(msg::kFileNotFound, name, -1);
  if (platform::FileExists(full + ext)) return full + ext;
  if (platform::kCaseSensitiveFileNames) {
    std::string lower = LowerAscii(ext);
    if (platform::FileExists(full + lower)) return full + lower;
  }
  RaiseErrorWithCode(msg::kFileNotFound, name, -1);
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
