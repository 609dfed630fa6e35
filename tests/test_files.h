// Reading back what a test made on disk; shared by the unit and end-to-end
// tests.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>

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
