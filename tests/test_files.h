// Temporary folders, and reading back what a test made on disk; shared by
// the unit, end-to-end and library tests.
#pragma once

#include <sys/stat.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

inline std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

inline bool PathExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// A folder of its own under /tmp, removed with all it holds when the object
// goes. Its path holds no dot, so that names without an extension stay so.
class TempFolder {
 public:
  TempFolder() {
    char templ[] = "/tmp/narravox-test-XXXXXX";
    if (!mkdtemp(templ)) throw std::runtime_error("cannot make a temporary folder");
    path_ = templ;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  // Writes content into the file name (replacing it); returns its path.
  std::string Write(const std::string& name, const std::string& content) const {
    std::ofstream(File(name), std::ios::binary) << content;
    return File(name);
  }
  std::string Read(const std::string& name) const { return ReadFileBytes(File(name)); }
  bool Exists(const std::string& name) const { return PathExists(File(name)); }
  void MakeFolder(const std::string& name) const { mkdir(File(name).c_str(), 0755); }

 private:
  std::string path_;
};
