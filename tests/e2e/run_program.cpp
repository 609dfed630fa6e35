#include "run_program.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

const char* const kBannerLines = "Narravox 1.06f - conversione di testi in file MP3 parlati\n\n";

std::string ErrorOutput(const std::string& message) {
  return std::string(kBannerLines) + "* ERRORE: " + message + "\n";
}

ProgramFolder::ProgramFolder(bool withEngine) {
  Write("narravox", ReadFileBytes(NARRAVOX_BINARY));
  chmod(File("narravox").c_str(), 0755);
  if (withEngine) Write("libeci.so", "");
}

void ProgramFolder::SetTime(const std::string& name, long seconds) const {
  utimbuf times{seconds, seconds};
  utime(File(name).c_str(), &times);
}

int ProgramFolder::Start(const std::vector<std::string>& args, const std::string& input,
                         const std::map<std::string, std::string>& env) const {
  std::string inputFile = File(".stdin");
  std::string outputFile = File(".stdout");
  Write(".stdin", input);
  pid_t pid = fork();
  if (pid == 0) {
    if (chdir(path().c_str()) != 0) _exit(127);
    int in = open(inputFile.c_str(), O_RDONLY);
    int out = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(in, 0);
    dup2(out, 1);
    dup2(out, 2);
    unsetenv("NARRAVOX_REGISTRY");
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    if (fileSizeLimit_ > 0) {
      rlimit limit{static_cast<rlim_t>(fileSizeLimit_), static_cast<rlim_t>(fileSizeLimit_)};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    std::vector<std::string> all = {File("narravox")};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

RunResult ProgramFolder::Wait(int pid) const {
  int status = 0;
  waitpid(pid, &status, 0);
  RunResult result;
  result.output = Read(".stdout");
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  unlink(File(".stdin").c_str());
  unlink(File(".stdout").c_str());
  return result;
}

RunResult ProgramFolder::Run(const std::vector<std::string>& args, const std::string& input,
                             const std::map<std::string, std::string>& env) const {
  return Wait(Start(args, input, env));
}
