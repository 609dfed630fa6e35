// Runs the built program in a private temporary folder and captures what it
// prints.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

struct RunResult {
  std::string output;  // standard output
  std::string errors;  // standard error
  int exitCode = -1;
};

class ProgramFolder {
 public:
  // Makes a temporary folder (its path holds no dot) with a copy of the
  // program in it; with an engine library file unless told otherwise.
  explicit ProgramFolder(bool withEngine = true);
  ~ProgramFolder();

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  void Write(const std::string& name, const std::string& content) const;
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;
  void MakeFolder(const std::string& name) const;
  void SetTime(const std::string& name, long secondsSinceEpoch) const;

  // Runs the program with args from the folder (its current directory),
  // feeding input to its standard input. HOME is the folder's "home", with
  // no XDG variables, so that the user's files are private too.
  RunResult Run(const std::vector<std::string>& args, const std::string& input = "",
                const std::map<std::string, std::string>& env = {}) const;
  // Starts the program without waiting for it; Wait collects its result.
  int Start(const std::vector<std::string>& args, const std::string& input = "",
            const std::map<std::string, std::string>& env = {}) const;
  RunResult Wait(int pid) const;
  // Runs the copy of the program at name (in the folder) instead.
  void UseProgram(const std::string& name) { program_ = name; }
  // Limits the size of every file the program writes (0: no limit), as a
  // full disk would.
  void LimitFileSize(long bytes) { fileSizeLimit_ = bytes; }

 private:
  std::string path_;
  long fileSizeLimit_ = 0;
  std::string program_ = "narravox";
};

// In a child process: runs program with args in its place.
[[noreturn]] void ExecProgram(const std::string& program, const std::vector<std::string>& args);

// The banner as the program prints it, followed by its empty line.
extern const char* const kBannerLines;

// The run stopped with an error: standard output holds what came before it
// (the banner by default), standard error the "* ERRORE" line alone, and the
// exit code is 1.
::testing::AssertionResult StoppedWith(const RunResult& run, const std::string& message,
                                       const std::string& before = kBannerLines);
