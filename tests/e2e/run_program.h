// Runs the built program in a private temporary folder and captures what it
// prints.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "test_files.h"

struct RunResult {
  std::string output;  // standard output and standard error together
  int exitCode = -1;
};

class ProgramFolder : public TempFolder {
 public:
  // A temporary folder with a copy of the program in it; with an engine
  // library file unless told otherwise.
  explicit ProgramFolder(bool withEngine = true);

  void SetTime(const std::string& name, long secondsSinceEpoch) const;

  // Runs the program with args from the folder (its current directory),
  // feeding input to its standard input.
  RunResult Run(const std::vector<std::string>& args, const std::string& input = "",
                const std::map<std::string, std::string>& env = {}) const;
  // Starts the program without waiting for it; Wait collects its result.
  int Start(const std::vector<std::string>& args, const std::string& input = "",
            const std::map<std::string, std::string>& env = {}) const;
  RunResult Wait(int pid) const;
  // Limits the size of every file the program writes (0: no limit), as a
  // full disk would.
  void LimitFileSize(long bytes) { fileSizeLimit_ = bytes; }

 private:
  long fileSizeLimit_ = 0;
};

// The banner as the program prints it, followed by its empty line.
extern const char* const kBannerLines;

// What the program prints when it stops with the error message.
std::string ErrorOutput(const std::string& message);
