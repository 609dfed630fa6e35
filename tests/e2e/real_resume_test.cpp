// Conversions with the real engine (libeci.so on espeak-ng) and encoder
// (liblame_enc.so): a run repeated, texts taken in another order, and runs
// stopped at random moments by SIGKILL or SIGTERM and finished with "/R"
// all end with exactly the files of one uninterrupted run.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <map>
#include <random>
#include <thread>

#include "run_program.h"

namespace {

const std::vector<std::string> kOptions = {"/VB=0", "/F=1", "/G=5",  "/IC=S",
                                           "/I3=S", "/V=2", "/BR=32"};

std::string Text(const std::string& subject, int sentences) {
  std::string text = "Capitolo su " + subject + "\n\n";
  for (int i = 1; i <= sentences; ++i)
    text += "La frase numero " + std::to_string(i) + " parla di " + subject +
            ", e la citta' ascolta.\n";
  return text;
}

void Prepare(const ProgramFolder& folder) {
  folder.Write("narravox.INI", std::string("[Narravox]\r\nECIDLL=") + ECI_LIBRARY +
                                   "\r\nMP3DLL=" + LAME_ENC_LIBRARY + "\r\nD=out\r\nCC=N\r\n");
  folder.Write("mare.txt", Text("mare", 160));
  folder.Write("monti.txt", Text("monti", 40));
}

// Every file under out/ with its content.
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

TEST(RealLibraries, RepeatedReorderedAndResumedRunsGiveTheSameFiles) {
  ProgramFolder reference(false);
  Prepare(reference);
  ASSERT_EQ(reference.Run(With(kOptions, {"mare.txt", "monti.txt"})).exitCode, 0);
  const std::map<std::string, std::string> expected = Files(reference);
  ASSERT_GT(expected.size(), 8u);
  ASSERT_TRUE(expected.count("out/mare02/006.mp3")) << "the text should make two groups";

  ProgramFolder repeated(false);
  Prepare(repeated);
  ASSERT_EQ(repeated.Run(With(kOptions, {"monti.txt", "mare.txt"})).exitCode, 0);
  EXPECT_TRUE(Files(repeated) == expected) << "another order gave other files";

  std::mt19937 random(std::random_device{}());
  const unsigned seed = random();
  random.seed(seed);
  std::uniform_int_distribution<int> delay(20, 1200);
  for (int signal : {SIGKILL, SIGTERM, SIGKILL, SIGTERM, SIGKILL}) {
    ProgramFolder run(false);
    Prepare(run);
    int pid = run.Start(With(kOptions, {"mare.txt", "monti.txt"}));
    const int ms = delay(random);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    kill(pid, signal);
    run.Wait(pid);
    if (run.Exists("narravox.dat")) {
      RunResult resumed = run.Run({"/R", "/VB=0"});
      EXPECT_EQ(resumed.exitCode, 0) << resumed.output;
    } else if (!run.Exists("out")) {
      // Stopped before its RecoveryFile and its first folder (a slow start,
      // as under the sanitizers): nothing to resume, the command is given again.
      ASSERT_EQ(run.Run(With(kOptions, {"mare.txt", "monti.txt"})).exitCode, 0);
    }
    EXPECT_TRUE(Files(run) == expected)
        << "signal " << signal << " after " << ms << " ms (seed " << seed << ")";
    EXPECT_FALSE(run.Exists("narravox.dat"));
  }
}

}  // namespace
