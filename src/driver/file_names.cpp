#include "driver/file_names.h"

#include "driver/ascii.h"
#include "driver/errors.h"
#include "driver/messages.h"
#include "platform/files.h"

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

std::vector<std::string> SplitTextLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t end = text.find('\0');
  if (end == std::string::npos) end = text.size();
  size_t start = 0;
  while (start < end) {
    size_t stop = start;
    while (stop < end && text[stop] != '\r' && text[stop] != '\n') ++stop;
    lines.push_back(text.substr(start, stop - start));
    if (stop < end && text[stop] == '\r' && stop + 1 < end && text[stop + 1] == '\n') ++stop;
    start = stop + 1;
  }
  return lines;
}

std::vector<std::string> LoadTextList(const std::string& name, const std::string& ext) {
  std::string path = ResolveFileName(name, ext);
  std::string text;
  if (!platform::ReadWholeFile(path, &text))
    RaiseErrorWithCode(msg::kCannotReadFile, path, -1);
  return SplitTextLines(text);
}

std::string ProgramFileWithExtension(const std::string& ext) {
  std::string path = platform::ProgramPath();
  size_t slash = path.find_last_of(platform::kPathSeparator == '/' ? "/" : "\\/:");
  size_t dot = path.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
    path.erase(dot);
  return path + ext;
}
