#include "test_files.h"
#include "run_program.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

const char* const kBannerLines = "Narravox 1.06f - conversione di testi in file MP3 parlati\n\n";

ProgramFolder::ProgramFolder(bool withEngine) {
  char templ[] = "/tmp/narravox-e2e-XXXXXX";
  if (!mkdtemp(templ)) throw std::runtime_error("mkdtemp");
  path_ = templ;
  std::ifstream in(NARRAVOX_BINARY, std::ios::binary);
  std::ofstream out(File("narravox"), std::ios::binary);
  out << in.rdbuf();
  out.close();
  chmod(File("narravox").c_str(), 0755);
  if (withEngine) Write("libeci.so", "");
}

ProgramFolder::~ProgramFolder() {
  std::string command = "rm -rf '" + path_ + "'";
  if (std::system(command.c_str()) != 0) std::perror("rm");
}

void ProgramFolder::Write(const std::string& name, const std::string& content) const {
  std::ofstream out(File(name), std::ios::binary);
  out << content;
}

std::string ProgramFolder::Read(const std::string& name) const {
  return ReadFileBytes(File(name));
}

bool ProgramFolder::Exists(const std::string& name) const { return PathExists(File(name)); }

void ProgramFolder::MakeFolder(const std::string& name) const {
  mkdir(File(name).c_str(), 0755);
}

void ProgramFolder::SetTime(const std::string& name, long seconds) const {
  utimbuf times{seconds, seconds};
  utime(File(name).c_str(), &times);
}

int ProgramFolder::Start(const std::vector<std::string>& args, const std::string& input,
                         const std::map<std::string, std::string>& env) const {
  std::string inputFile = path_ + "/.stdin";
  std::string outputFile = path_ + "/.stdout";
  std::string errorFile = path_ + "/.stderr";
  std::string home = path_ + "/home";
  mkdir(home.c_str(), 0755);
  Write(".stdin", input);
  pid_t pid = fork();
  if (pid == 0) {
    if (chdir(path_.c_str()) != 0) _exit(127);
    int in = open(inputFile.c_str(), O_RDONLY);
    int out = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    unsetenv("NARRAVOX_REGISTRY");
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_STATE_HOME");
    setenv("HOME", home.c_str(), 1);
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    if (fileSizeLimit_ > 0) {
      rlimit limit{static_cast<rlim_t>(fileSizeLimit_), static_cast<rlim_t>(fileSizeLimit_)};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    ExecProgram(File(program_), args);
  }
  return pid;
}

void ExecProgram(const std::string& program, const std::vector<std::string>& args) {
  std::vector<std::string> all = {program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : all) argv.push_back(arg.data());
  argv.push_back(nullptr);
  execv(argv[0], argv.data());
  _exit(127);
}

RunResult ProgramFolder::Wait(int pid) const {
  int status = 0;
  waitpid(pid, &status, 0);
  RunResult result;
  result.output = Read(".stdout");
  result.errors = Read(".stderr");
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  unlink((path_ + "/.stdin").c_str());
  unlink((path_ + "/.stdout").c_str());
  unlink((path_ + "/.stderr").c_str());
  return result;
}

::testing::AssertionResult StoppedWith(const RunResult& run, const std::string& message,
                                       const std::string& before) {
  std::string error = "* ERRORE: " + message + "\n";
  if (run.output == before && run.errors == error && run.exitCode == 1)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "standard output:\n"
         << run.output << "\nstandard error:\n"
         << run.errors << "\nexit code " << run.exitCode << "\nexpected output:\n"
         << before << "\nexpected error:\n"
         << error;
}

RunResult ProgramFolder::Run(const std::vector<std::string>& args, const std::string& input,
                             const std::map<std::string, std::string>& env) const {
  return Wait(Start(args, input, env));
}
