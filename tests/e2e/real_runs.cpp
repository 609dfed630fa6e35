#include "real_runs.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>

void UseRealLibraries(const ProgramFolder& folder) {
  folder.Write("narravox.INI", std::string("[Narravox]\r\nECIDLL=") + ECI_LIBRARY +
                                   "\r\nMP3DLL=" + LAME_ENC_LIBRARY + "\r\nD=out\r\nCC=N\r\n");
}

std::map<std::string, std::string> Files(const ProgramFolder& folder) {
  std::string command = "cd '" + folder.path() + "' && find out -type f | sort > .files";
  EXPECT_EQ(std::system(command.c_str()), 0);
  std::map<std::string, std::string> files;
  std::string names = folder.Read(".files");
  for (size_t at = 0, end; (end = names.find('\n', at)) != std::string::npos; at = end + 1) {
    std::string name = names.substr(at, end - at);
    files[name] = folder.Read(name);
  }
  return files;
}

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

void ExpectResumedRunsGive(const std::map<std::string, std::string>& expected,
                           void (*prepare)(const ProgramFolder&), const std::vector<std::string>& args,
                           const std::vector<int>& signals, int maxDelayMs) {
  std::mt19937 random(std::random_device{}());
  const unsigned seed = random();
  random.seed(seed);
  std::uniform_int_distribution<int> delay(20, std::max(maxDelayMs, 21));
  for (int signal : signals) {
    ProgramFolder run(false);
    prepare(run);
    int pid = run.Start(args);
    const int ms = delay(random);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    kill(pid, signal);
    run.Wait(pid);
    const bool resume = run.Exists("narravox.dat");
    std::printf("signal %d after %d ms: %s\n", signal, ms, resume ? "resumed with /R" : "given again");
    if (resume) {
      RunResult resumed = run.Run({"/R", "/VB=0"});
      EXPECT_EQ(resumed.exitCode, 0) << resumed.output;
    } else {
      // Stopped before its RecoveryFile (a slow start, as under the
      // sanitizers), or after its end: nothing to resume, the command is
      // given again.
      ASSERT_EQ(run.Run(args).exitCode, 0);
    }
    const std::map<std::string, std::string> files = Files(run);
    std::string differing;
    for (const auto& [name, content] : expected)
      if (!files.count(name) || files.at(name) != content)
        differing += " " + name;
    for (const auto& entry : files)
      if (!expected.count(entry.first)) differing += " +" + entry.first;
    EXPECT_TRUE(differing.empty()) << "signal " << signal << " after " << ms << " ms (seed " << seed
                                   << "):" << differing;
    EXPECT_FALSE(run.Exists("narravox.dat"));
  }
}
