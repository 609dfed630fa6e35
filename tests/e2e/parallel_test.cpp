// Several MP3 files in progress at once (PARALLELI): the worker processes
// make the very files of one stream, never leave a partial one in sight,
// and stop with the run.
#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>
#include <set>
#include <thread>

#include "conversion_fixture.h"

namespace {

using Parallel = Conversion;

// Texts of many short files each, with groups, every kind of clip and both
// tags.
const char kEveryLayout[] = "F=1\r\nG=5\r\nCR=S\r\nCF=S\r\nI3=V2\r\nCC=N\r\n";

// The digests of a tree's MP3 files, whatever their folders; a file that
// went (moved into its group) between listing and reading is left out.
std::multiset<std::string> Digests(const std::string& tree) {
  const std::string gone = std::to_string(std::hash<std::string>()(""));
  std::multiset<std::string> digests;
  for (size_t at = 0, end; (end = tree.find('\n', at)) != std::string::npos; at = end + 1) {
    size_t blank = tree.rfind(' ', end);
    std::string digest = tree.substr(blank + 1, end - blank - 1);
    if (tree.compare(blank - 4, 4, ".mp3") == 0 && digest != gone) digests.insert(digest);
  }
  return digests;
}

// The programs running from folder: the conversion and its workers.
int ProcessesOf(const ProgramFolder& folder) {
  int count = 0;
  const std::string program = folder.File("narravox");
  if (DIR* proc = opendir("/proc")) {
    while (dirent* entry = readdir(proc)) {
      std::ifstream cmdline(std::string("/proc/") + entry->d_name + "/cmdline");
      std::string argv0;
      if (std::getline(cmdline, argv0, '\0') && argv0 == program) ++count;
    }
    closedir(proc);
  }
  return count;
}

TEST_F(Parallel, FilesGroupsClipsTagsAndLinesAreThoseOfOneStream) {
  folder_.Write("libro.txt", Sentences(400));
  folder_.Write("breve.txt", "Un testo breve.\n");
  ProgramFolder one(false);
  one.Write("narravox.INI", Configuration(kEveryLayout));
  one.Write("libro.txt", Sentences(400));
  one.Write("breve.txt", "Un testo breve.\n");
  RunResult single = one.Run({"/PA=1", "libro.txt", "breve.txt"});
  ASSERT_EQ(single.exitCode, 0) << single;
  ASSERT_TRUE(one.Exists("out/libro03/011.mp3.talk"));

  for (const char* n : {"2", "3", "8"}) {
    Configure(kEveryLayout);
    RunResult run = Convert({std::string("/PA=") + n, "libro.txt", "breve.txt"});
    EXPECT_EQ(run.exitCode, 0) << run;
    EXPECT_EQ(Tree(folder_), Tree(one)) << "PA=" << n;
    std::string lines = WithoutProgress(single.output);
    for (size_t at; (at = lines.find(one.path())) != std::string::npos;)
      lines.replace(at, one.path().size(), folder_.path());
    EXPECT_EQ(WithoutProgress(run.output), lines) << "PA=" << n;
  }
}

// Killed at random moments and resumed, a parallel run ends with the tree of
// an uninterrupted one; no MP3 file seen while it ran was partial.
TEST_F(Parallel, KilledAtAnyMomentResumesToTheSameTreeWithNoPartialFileInSight) {
  const std::string lines = "F=1\r\nG=5\r\nI3=S\r\n";
  const std::string text = Sentences(300);
  const std::string reference = Reference(lines, text);
  const std::multiset<std::string> complete = Digests(reference);
  std::mt19937 random(12);
  for (int round = 0; round < 4; ++round) {
    ProgramFolder run(false);
    run.Write("narravox.INI", Configuration(lines));
    run.Write("libro.txt", text);
    const auto killAt = std::chrono::steady_clock::now() +
                        std::chrono::milliseconds(std::uniform_int_distribution<>(20, 400)(random));
    int pid = run.Start({"/VB=0", "/PA=3", "libro.txt"}, "", {{"NARRAVOX_FAKE_ECI_FILL", "64"}});
    while (std::chrono::steady_clock::now() < killAt) {
      if (!run.Exists("out/libro")) continue;
      for (const std::string& digest : Digests(Tree(run)))
        EXPECT_EQ(complete.count(digest), 1u) << "a partial file in round " << round;
    }
    kill(pid, SIGKILL);
    run.Wait(pid);
    RunResult resumed = run.Run({"/R", "/VB=0"});
    if (resumed.exitCode != 0) {
      // Killed before its RecoveryFile was written, or after it was gone.
      EXPECT_NE(resumed.errors.find("Il file di ripristino non esiste"), std::string::npos)
          << resumed;
      resumed = run.Run({"/VB=0", "/CC=N", "libro.txt"});
    }
    EXPECT_EQ(resumed.exitCode, 0) << resumed;
    EXPECT_EQ(Tree(run), reference) << "round " << round;
  }
}

// Every worker's encoder fails at its second chunk: the first file's error
// is the run's, nothing partial stays, and "/R" finishes the job.
TEST_F(Parallel, AnEncoderFailureInAWorkerStopsTheRunWithItsMessage) {
  const std::string lines = "F=1\r\n";
  Configure(lines);
  folder_.Write("libro.txt", Sentences(200));
  RunResult failed =
      Convert({"/VB=0", "/PA=3", "libro.txt"}, "",
              {{"NARRAVOX_FAKE_ENC_FAIL", "beEncodeChunk:2:2"}, {"NARRAVOX_FAKE_ENC_CHUNK", "64"}});
  EXPECT_TRUE(StoppedWith(failed, "Errore encoder MP3 (codice 2)"));
  EXPECT_EQ(Listing("out/libro"), "");
  // No checkpoint: the first file is not complete.
  EXPECT_NE(folder_.Read("narravox.dat").find(folder_.File("libro.txt") + "::0::1\r\n"),
            std::string::npos);
  EXPECT_EQ(ProcessesOf(folder_), 0);
  RunResult resumed = Convert({"/R", "/VB=0"});
  EXPECT_EQ(resumed.exitCode, 0) << resumed;
  EXPECT_EQ(Tree(folder_), Reference(lines, Sentences(200)));
}

// SIGTERM ends the conversion and every worker within a second, with no
// partial file left.
TEST_F(Parallel, TerminationStopsEveryWorkerAtOnce) {
  const std::string lines = "F=1\r\n";
  Configure(lines);
  folder_.Write("libro.txt", Sentences(2000));
  int pid = folder_.Start({"/VB=0", "/PA=4", "libro.txt"}, "", {{"NARRAVOX_FAKE_ECI_FILL", "8"}});
  ASSERT_TRUE(folder_.AwaitFile(pid, "out/libro/" + Track(2))) << folder_.Stop(pid);
  EXPECT_GE(ProcessesOf(folder_), 3);
  const auto asked = std::chrono::steady_clock::now();
  kill(pid, SIGTERM);
  RunResult run = folder_.Wait(pid);
  while (ProcessesOf(folder_) > 0 &&
         std::chrono::steady_clock::now() - asked < std::chrono::seconds(5))
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(1));
  EXPECT_EQ(ProcessesOf(folder_), 0);
  EXPECT_NE(run.output.find("Interrotto dall'utente"), std::string::npos) << run.output;
  EXPECT_EQ(Listing("out/libro").find(".parziale"), std::string::npos) << Listing("out/libro");
  ExpectOnlyCompleteFiles(Reference(lines, Sentences(2000)));
}

// A worker whose starter ended before it ran (its parent is another
// process by then) ends at once, killed, instead of taking what waits in its
// pipe: a job left there by a killed run would race the next run for its
// file.
TEST_F(Parallel, AWorkerThatOutlivedItsStarterEndsAtOnce) {
  int jobs[2];
  ASSERT_EQ(pipe(jobs), 0);
  ASSERT_EQ(write(jobs[1], "x", 1), 1);
  pid_t pid = fork();
  if (pid == 0) {
    dup2(jobs[0], 3);
    ExecProgram(folder_.File("narravox"), {"--narravox-worker", "1"});
  }
  close(jobs[0]);
  close(jobs[1]);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;
}

}  // namespace
