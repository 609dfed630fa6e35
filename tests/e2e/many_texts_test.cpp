// A run of many texts with workers: fragments of the next texts are made
// while the last files of a text are still in progress, and what the run
// shows and leaves (lines, files, groups, clips, RecoveryFile) is that of
// one stream, after any interruption too.
#include <signal.h>

#include <chrono>
#include <random>
#include <thread>

#include "conversion_fixture.h"

namespace {

using ManyTexts = Conversion;

// Groups, both kinds of clip and both tags, with fragments of 1 KB.
const char kLayout[] = "F=1\r\nG=5\r\nCR=S\r\nCF=S\r\nI3=V2\r\nCC=N\r\n";

// Short texts of one file and longer ones of several, one in groups, with
// the same text named twice and texts that are skipped in between.
void WriteTexts(const ProgramFolder& folder) {
  for (int i = 1; i <= 9; ++i)
    folder.Write("t" + std::to_string(i) + ".txt", Sentences(3 + i));
  folder.Write("lungo.txt", Sentences(150));  // 6 files in two groups
  folder.Write("medio.txt", Sentences(40));
  folder.Write("vuoto.txt", "\r\n  \r\n");
  folder.Write("dati.txt", std::string("\x7f" "ELF\x01\x01\x01", 7) + std::string(200, '\0'));
}

const std::vector<std::string> kTexts = {"t1.txt",   "lungo.txt", "t2.txt", "vuoto.txt",
                                         "t3.txt",   "medio.txt", "t4.txt", "dati.txt",
                                         "t5.txt",   "t6.txt",    "t1.txt", "assente.txt",
                                         "t7.txt",   "t8.txt",    "t9.txt"};

std::vector<std::string> Args(std::vector<std::string> options) {
  options.insert(options.end(), kTexts.begin(), kTexts.end());
  return options;
}

TEST_F(ManyTexts, WorkersGiveTheFilesLinesAndErrorsOfOneStream) {
  ProgramFolder one(false);
  one.Write("narravox.INI", Configuration(kLayout));
  WriteTexts(one);
  RunResult single = one.Run(Args({"/PA=1", "/VB=2"}));
  ASSERT_EQ(single.exitCode, 1) << single;  // three texts skipped
  ASSERT_TRUE(one.Exists("out/lungo02/006.mp3.talk"));
  std::string lines = WithoutProgress(single.output), errors = single.errors;
  for (std::string* text : {&lines, &errors})
    for (size_t at; (at = text->find(one.path())) != std::string::npos;)
      text->replace(at, one.path().size(), folder_.path());

  for (const char* n : {"2", "4"}) {
    Configure(kLayout);
    WriteTexts(folder_);
    RunResult run = Convert(Args({std::string("/PA=") + n, "/VB=2"}));
    EXPECT_EQ(run.exitCode, 1) << run;
    EXPECT_EQ(Tree(folder_), Tree(one)) << "PA=" << n;
    EXPECT_EQ(WithoutProgress(run.output), lines) << "PA=" << n;
    EXPECT_EQ(run.errors, errors) << "PA=" << n;
    EXPECT_FALSE(folder_.Exists("narravox.dat"));
  }
}

// Killed (SIGKILL or SIGINT) at random moments, with files of several texts
// in progress, and resumed with "/R" (itself killed now and then): the tree
// of the uninterrupted run.
TEST_F(ManyTexts, KilledAtAnyMomentResumesToTheUninterruptedTree) {
  ProgramFolder reference(false);
  reference.Write("narravox.INI", Configuration(kLayout));
  WriteTexts(reference);
  ASSERT_EQ(reference.Run(Args({"/VB=0", "/PA=1"})).exitCode, 1);
  const std::string expected = Tree(reference);
  std::mt19937 random(21);
  for (int round = 0; round < 5; ++round) {
    ProgramFolder run(false);
    run.Write("narravox.INI", Configuration(kLayout));
    WriteTexts(run);
    const std::map<std::string, std::string> slow = {{"NARRAVOX_FAKE_ECI_FILL", "64"}};
    int pid = run.Start(Args({"/VB=0", "/PA=3"}), "", slow);
    std::vector<std::string> resume = {"/R", "/VB=0"};
    for (int stop = 0;; ++stop) {
      std::this_thread::sleep_for(
          std::chrono::milliseconds(std::uniform_int_distribution<>(30, 500)(random)));
      kill(pid, (round + stop) % 2 ? SIGINT : SIGKILL);
      run.Wait(pid);
      // Ended, or killed before its first file; else resumed and stopped again.
      if (stop == 2 || !run.Exists("narravox.dat")) break;
      pid = run.Start(resume, "", slow);
    }
    RunResult last;
    if (run.Exists("narravox.dat")) {
      last = run.Run(resume);
      // 1 while a skipped text was still to come.
      EXPECT_TRUE(last.exitCode == 0 || last.exitCode == 1) << last;
    } else if (!run.Exists("out/t9/001.mp3")) {
      // Killed before its RecoveryFile was written: nothing to resume.
      last = run.Run(Args({"/VB=0"}));
      EXPECT_EQ(last.exitCode, 1) << last;
    }
    EXPECT_FALSE(run.Exists("narravox.dat")) << last;
    EXPECT_EQ(Tree(run), expected) << "round " << round << "\n" << last;
  }
}

}  // namespace
