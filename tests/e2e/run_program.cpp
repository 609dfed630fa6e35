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
  Write(".stdin", input);
  pid_t pid = fork();
  if (pid == 0) {
    if (chdir(path_.c_str()) != 0) _exit(127);
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
  unlink((path_ + "/.stdin").c_str());
  unlink((path_ + "/.stdout").c_str());
  return result;
}

RunResult ProgramFolder::Run(const std::vector<std::string>& args, const std::string& input,
                             const std::map<std::string, std::string>& env) const {
  return Wait(Start(args, input, env));
}

std::string SettingsRecord(const std::map<std::string, std::string>& changes) {
  static const char* const kDefaults[][2] = {
      {"LINGUA", "IT"},        {"VOCE", "0"},          {"VELOCITA", "200"},
      {"TONALITA", "*"},       {"VOLUME", "100"},      {"SAMPLE", "11025"},
      {"RESAMPLE", "N"},       {"BITRATE", "48"},      {"ID3TAG", "N"},
      {"TIPOTESTO", "AUTO"},   {"RIUNISCIGRUPPI", "N"}, {"CARTELLEROCKBOX", "N"},
      {"IDENTIFICACARTELLA", "N"}, {"NOMEFILE", ""},   {"RIGAFRAMMENTA", ""},
      {"PAUSATESTA", "0"},     {"PAUSACODA", "500"},   {"TITOLO", "S"}};
  std::string record = "[IMPOSTAZIONI]\r\n";
  for (const auto& entry : kDefaults) {
    auto changed = changes.find(entry[0]);
    record += std::string(entry[0]) + "=" + (changed == changes.end() ? entry[1] : changed->second) +
              "\r\n";
  }
  return record;
}

std::string KeptRecoveryWarning(const ProgramFolder& folder) {
  std::string kept = folder.File("narravox.dat.1");
  return "* AVVISO: la conversione interrotta resta nel file \"" + kept +
         "\"; per riprenderla: narravox /R=" + kept + "\n";
}
