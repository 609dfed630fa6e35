// The fake encoder's call log: one line per call, appended to a file.
#pragma once

#include <string>

class FakeEncLog {
 public:
  void setPath(const std::string& path) { path_ = path; }
  // Appends the line and a line feed; the file is opened and closed for
  // every line so that a reader sees it at once, even after a crash.
  void write(const std::string& line) const;

 private:
  std::string path_;
};
