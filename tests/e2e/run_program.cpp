#include "run_program.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// How long a run may take, and how long a file may take to appear, before
// the program counts as hung.
const auto kRunDeadline = std::chrono::seconds(60);
const auto kFileDeadline = std::chrono::seconds(30);

}  // namespace

const char* const kBannerLines = "Narravox 1.06f - conversione di testi in file MP3 parlati\n\n";

std::ostream& operator<<(std::ostream& out, const RunResult& result) {
  return out << "exit code " << result.exitCode << ", output: \"" << result.output
             << "\", errors: \"" << result.errors << "\"";
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
  std::string errorFile = File(".stderr");
  std::string home = File("home");
  mkdir(home.c_str(), 0755);
  Write(".stdin", input);
  pid_t pid = fork();
  if (pid == 0) {
    if (chdir(path().c_str()) != 0) _exit(127);
    int in = open(inputFile.c_str(), O_RDONLY);
    int out = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    unsetenv("NARRAVOX_REGISTRY");
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_STATE_HOME");
    // The messages as the program has them: a test that wants the accented
    // letters of a UTF-8 locale names it.
    unsetenv("LC_ALL");
    unsetenv("LC_CTYPE");
    setenv("LANG", "C", 1);
    setenv("HOME", home.c_str(), 1);
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    if (fileSizeLimit_ > 0) {
      rlimit limit{static_cast<rlim_t>(fileSizeLimit_), static_cast<rlim_t>(fileSizeLimit_)};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (user_ >= 0 && (setgroups(0, nullptr) != 0 || setgid(static_cast<gid_t>(group_)) != 0 ||
                       setuid(static_cast<uid_t>(user_)) != 0))
      _exit(126);
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
  const Clock::time_point deadline = Clock::now() + kRunDeadline;
  pid_t ended;
  while ((ended = waitpid(pid, &status, WNOHANG)) == 0 && Clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  if (ended == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    ADD_FAILURE() << "the program did not end within " << kRunDeadline.count()
                  << " s and was killed";
  } else if (ended < 0) {
    ADD_FAILURE() << "cannot wait for the program: " << std::strerror(errno);
  }
  RunResult result;
  result.output = Read(".stdout");
  result.errors = Read(".stderr");
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  unlink((File(".stdin")).c_str());
  unlink((File(".stdout")).c_str());
  unlink((File(".stderr")).c_str());
  return result;
}

bool ProgramFolder::AwaitFile(int pid, const std::string& name) const {
  const Clock::time_point deadline = Clock::now() + kFileDeadline;
  while (!Exists(name)) {
    // Whether the program has ended, leaving it for Wait to collect.
    siginfo_t info{};
    if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 ||
        info.si_pid != 0 || Clock::now() >= deadline)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

RunResult ProgramFolder::Stop(int pid) const {
  kill(pid, SIGKILL);
  return Wait(pid);
}

::testing::AssertionResult StoppedWith(const RunResult& run, const std::string& message,
                                       const std::string& before, const std::string& warnings) {
  std::string error = warnings + "* ERRORE: " + message + "\n";
  if (run.output == before && run.errors == error && (run.exitCode == 1 || run.exitCode == 2))
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

std::string SettingsRecord(const std::map<std::string, std::string>& changes) {
  static const char* const kDefaults[][2] = {{"LINGUA", "IT"},        {"VOCE", "0"},
                                             {"VELOCITA", "200"},     {"TONALITA", "*"},
                                             {"VOLUME", "100"},       {"SAMPLE", "11025"},
                                             {"RESAMPLE", "N"},       {"BITRATE", "48"},
                                             {"ID3TAG", "N"},         {"TIPOTESTO", "AUTO"},
                                             {"RIUNISCIGRUPPI", "N"}, {"CARTELLEROCKBOX", "N"},
                                             {"CLIPFILE", "N"},       {"IDENTIFICACARTELLA", "N"},
                                             {"NOMEFILE", ""},        {"RIGAFRAMMENTA", ""},
                                             {"PAUSATESTA", "0"},     {"PAUSACODA", "500"},
                                             {"TITOLO", "S"},         {"CAPITOLI", "S"},
                                             {"NOTE", "N"},           {"FORMATO", "MP3"},
                                             {"PAUSAPARAGRAFO", "S"},
                                             {"MAIUSCOLE", "S"},      {"NORMALIZZA", "S"},
                                             {"DIZIONARIO", ""},      {"IMPRONTADIZIONARIO", ""}};
  std::string record = "[IMPOSTAZIONI]\r\n";
  for (const auto& entry : kDefaults) {
    auto changed = changes.find(entry[0]);
    record += std::string(entry[0]) + "=" +
              (changed == changes.end() ? entry[1] : changed->second) + "\r\n";
  }
  return record;
}

std::string KeptRecoveryWarning(const ProgramFolder& folder, const std::string& text, int n) {
  std::string kept = folder.File("narravox.dat." + std::to_string(n));
  return "* AVVISO: la conversione interrotta del testo \"" + text + "\" resta nel file \"" + kept +
         "\"; per riprenderla: narravox /R=" + kept + "\n";
}
