// Runs the built program in a private temporary folder and captures what it
// prints.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "test_files.h"

struct RunResult {
  std::string output;  // standard output
  std::string errors;  // standard error
  int exitCode = -1;
};

// "exit code N, output: ...", for the messages of failed checks.
std::ostream& operator<<(std::ostream& out, const RunResult& result);

class ProgramFolder : public TempFolder {
 public:
  // A temporary folder with a copy of the program in it; with an engine
  // library file unless told otherwise.
  explicit ProgramFolder(bool withEngine = true);

  void SetTime(const std::string& name, long secondsSinceEpoch) const;

  // Runs the program with args from the folder (its current directory),
  // feeding input to its standard input. HOME is the folder's "home", with
  // no XDG variables, so that the user's files are private too.
  RunResult Run(const std::vector<std::string>& args, const std::string& input = "",
                const std::map<std::string, std::string>& env = {}) const;
  // Starts the program without waiting for it; Wait collects its result.
  // A run still going after a minute counts as hung: Wait ends it and fails
  // the test.
  int Start(const std::vector<std::string>& args, const std::string& input = "",
            const std::map<std::string, std::string>& env = {}) const;
  RunResult Wait(int pid) const;
  // Waits while the program started as pid runs until the file name is
  // there; false when the program ended first or half a minute went by.
  bool AwaitFile(int pid, const std::string& name) const;
  // Ends the program started as pid at once and collects its result.
  RunResult Stop(int pid) const;
  // Runs the copy of the program at name (in the folder) instead.
  void UseProgram(const std::string& name) { program_ = name; }
  // Limits the size of every file the program writes (0: no limit), as a
  // full disk would.
  void LimitFileSize(long bytes) { fileSizeLimit_ = bytes; }
  // Runs the program as another user (a test that runs as root only); -1:
  // as this one.
  void RunAs(int user, int group) {
    user_ = user;
    group_ = group;
  }

 private:
  long fileSizeLimit_ = 0;
  int user_ = -1, group_ = -1;
  std::string program_ = "narravox";
};

// In a child process: runs program with args in its place.
[[noreturn]] void ExecProgram(const std::string& program, const std::vector<std::string>& args);

// The banner as the program prints it, followed by its empty line.
extern const char* const kBannerLines;

// The settings section that ends a RecoveryFile, for a run with the default
// settings but for the "KEY=value" changes given.
std::string SettingsRecord(const std::map<std::string, std::string>& changes = {});

// The warning of a new run that keeps the RecoveryFile of folder's earlier,
// interrupted run of text as "narravox.dat.n".
std::string KeptRecoveryWarning(const ProgramFolder& folder, const std::string& text, int n = 1);

// The run stopped with an error: standard output holds what came before it
// (nothing by default, as with VERBOSITA=0), standard error the "* ERRORE"
// line alone, and the
// exit code is 1 (the conversion failed) or 2 (it could not begin); the
// exit-code tests tell the two apart.
// Warnings come on standard error before the error line.
::testing::AssertionResult StoppedWith(const RunResult& run, const std::string& message,
                                       const std::string& before = "",
                                       const std::string& warnings = "");
