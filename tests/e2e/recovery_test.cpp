// What the RecoveryFile keeps and guards: every setting that shapes the
// files, so that "/R" alone finishes any interrupted run as it would have
// ended; one conversion at a time; an interrupted run kept aside by a new
// one; and re-conversions that leave no old group folder behind.
#include <pwd.h>
#include <unistd.h>
#include <csignal>
#include <cstdlib>
#include <thread>

#include "conversion_fixture.h"

namespace {

// The fakes then write the engine's voice and the encoder's rates into
// every file, so that a file made with other settings differs.
const std::map<std::string, std::string> kMarked = {{"NARRAVOX_FAKE_ECI_MARK", "1"},
                                                    {"NARRAVOX_FAKE_ENC_MARK", "1"}};

std::map<std::string, std::string> Slow(std::map<std::string, std::string> env) {
  env["NARRAVOX_FAKE_ECI_FILL"] = "16";
  return env;
}

// Non-default values of every setting that shapes the files.
const std::vector<std::string> kEverySetting = {"/L=UK", "/V=2",    "/VE=150", "/TO=100", "/VO=80",
                                                "/SA=8", "/RS=22",  "/BR=32",  "/I3=S",   "/T=W",
                                                "/TI=N", "/PT=100", "/PC=200", "/NF=p_",  "/RF=---",
                                                "/CR=S", "/RG=S",   "/G=5",    "/F=1"};

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

// How the refusal of a second run names the process pid of this user and
// host that holds the RecoveryFile.
std::string HeldBy(int pid) {
  char host[256] = "";
  gethostname(host, sizeof host - 1);
  const passwd* user = getpwuid(getuid());
  return " (processo " + std::to_string(pid) + " dell'utente " + (user ? user->pw_name : "?") +
         " su " + host + ")";
}

// A text of many short fragments: a split line after every few sentences.
std::string SplitText(int parts) {
  std::string text;
  for (int i = 0; i < parts; ++i) text += Sentences(6) + "---\n";
  return text;
}

// Waits until the output folder holds name, or fails after ten seconds.
bool WaitFor(const ProgramFolder& folder, const std::string& name) {
  for (int i = 0; i < 5000; ++i) {
    if (folder.Exists(name)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return false;
}

class Recovery : public Conversion {
 protected:
  // The lines of Tree(folder) that start with prefix.
  static std::string TreeOf(const ProgramFolder& folder, const std::string& prefix) {
    std::string tree = Tree(folder), kept;
    for (size_t at = 0, end; (end = tree.find('\n', at)) != std::string::npos; at = end + 1)
      if (tree.compare(at, prefix.size(), prefix) == 0) kept += tree.substr(at, end - at + 1);
    return kept;
  }
};

TEST_F(Recovery, KilledRunWithEverySettingIsFinishedByResumeAlone) {
  const std::string text = SplitText(14);
  const std::vector<std::string> args = With(kEverySetting, {"/VB=0", "libro.txt"});
  ProgramFolder reference(false);
  reference.Write("narravox.INI", Configuration(""));
  reference.Write("libro.txt", text);
  ASSERT_EQ(reference.Run(args, "", kMarked).exitCode, 0);
  const std::string expected = Tree(reference);
  ASSERT_NE(expected.find("out/libro/03/P_011.mp3"), std::string::npos) << expected;

  for (const char* killedAfter : {"P_001.mp3", "P_004.mp3", "P_009.mp3", "P_014.mp3"}) {
    ProgramFolder run(false);
    run.Write("narravox.INI", Configuration(""));
    run.Write("libro.txt", text);
    int pid = run.Start(args, "", Slow(kMarked));
    ASSERT_TRUE(WaitFor(run, std::string("out/libro/") + killedAfter)) << killedAfter;
    kill(pid, SIGKILL);
    run.Wait(pid);
    RunResult resumed = run.Run({"/R", "/VB=0"}, "", kMarked);
    EXPECT_EQ(resumed.output, "") << killedAfter;
    EXPECT_EQ(resumed.exitCode, 0) << killedAfter;
    EXPECT_EQ(Tree(run), expected) << "killed after " << killedAfter;
    EXPECT_FALSE(run.Exists("narravox.dat"));
  }
}

TEST_F(Recovery, OptionsGivenWithResumeCannotChangeTheFiles) {
  const std::string text = SplitText(6);
  ProgramFolder reference(false);
  reference.Write("narravox.INI", Configuration(""));
  reference.Write("libro.txt", text);
  ASSERT_EQ(reference.Run({"/VB=0", "/F=1", "/V=3", "/BR=32", "libro.txt"}, "", kMarked).exitCode,
            0);

  Configure("");
  folder_.Write("libro.txt", text);
  int pid = folder_.Start({"/VB=0", "/F=1", "/V=3", "/BR=32", "libro.txt"}, "", Slow(kMarked));
  ASSERT_TRUE(WaitFor(folder_, "out/libro/002.mp3"));
  kill(pid, SIGKILL);
  folder_.Wait(pid);
  // Settings that shape the files are the RecoveryFile's; the others apply.
  RunResult resumed = Convert({"/R", "/V=5", "/BR=64", "/VB=0", "/CC=N"}, "", kMarked);
  EXPECT_EQ(resumed.errors,
            "***AVVISO: Alcune impostazioni sono state prelevate dal file di ripristino\n");
  EXPECT_EQ(resumed.exitCode, 0);
  EXPECT_EQ(Tree(folder_), Tree(reference));
}

TEST_F(Recovery, RecoveryFileOfTheEarlierFormatStillResumes) {
  const std::string lines = "TI=N\r\n";
  const std::string text = Sentences(120);
  Configure(lines);
  folder_.Write("libro.txt", text);
  folder_.Write("narravox.dat", "ATTENZIONE!!! Non modificare questo file.\r\n" +
                                    folder_.File("out/") + "::1024::0\r\n" +
                                    folder_.File("libro.txt") + "\r\n");
  RunResult resumed = Convert({"/R", "/VB=0"});
  EXPECT_EQ(resumed.output, "");
  EXPECT_EQ(resumed.exitCode, 0);
  EXPECT_EQ(Tree(folder_), Reference(lines + "F=1\r\n", text));
  EXPECT_FALSE(folder_.Exists("narravox.dat"));
}

// A second run while the first converts takes a RecoveryFile of its own;
// "/R" leaves alone the conversions that runs hold, and resumes, one per
// "/R", those that were interrupted.
TEST_F(Recovery, RunsSideBySideEachHaveARecoveryFile) {
  // The first two runs are held after their first file until killed.
  const std::string text = SplitText(40);
  Configure("F=1\r\n");
  folder_.Write("libro.txt", text);
  folder_.Write("altro.txt", SplitText(30));
  folder_.Write("terzo.txt", "Terzo testo.\n");
  folder_.Write("attesa", "");
  const std::map<std::string, std::string> held = {{"NARRAVOX_FAKE_ECI_HOLD", folder_.File("attesa")}};
  int first = folder_.Start({"/VB=0", "libro.txt"}, "", held);
  ASSERT_TRUE(WaitFor(folder_, "out/libro/001.mp3"));
  int second = folder_.Start({"/VB=0", "altro.txt"}, "", held);
  ASSERT_TRUE(WaitFor(folder_, "out/altro/001.mp3"));
  EXPECT_NE(folder_.Read("narravox-2.dat").find(folder_.File("altro.txt") + "::"), std::string::npos);
  RunResult third = Convert({"/VB=0", "terzo.txt"});
  EXPECT_EQ(third.exitCode, 0) << third;
  EXPECT_TRUE(OutExists("terzo/001.mp3"));
  EXPECT_FALSE(folder_.Exists("narravox-3.dat"));
  // Both held: nothing to resume.
  RunResult resumed = Convert({"/R", "/VB=0"});
  EXPECT_TRUE(StoppedWith(resumed, "Un'altra conversione e' gia' in corso con il file di "
                                   "ripristino \"" + folder_.File("narravox.dat") + "\"" +
                                   HeldBy(first)));
  EXPECT_EQ(resumed.exitCode, 2);

  kill(first, SIGKILL);
  kill(second, SIGKILL);
  folder_.Wait(first);
  folder_.Wait(second);
  RunResult one = Convert({"/R", "/VB=1"});
  EXPECT_EQ(one.exitCode, 0) << one;
  EXPECT_NE(one.output.find("Altre conversioni interrotte da riprendere: 1 (narravox /R riprende "
                            "la prossima)"),
            std::string::npos) << one;
  EXPECT_FALSE(folder_.Exists("narravox.dat"));
  EXPECT_EQ(Convert({"/R", "/VB=0"}).exitCode, 0);
  EXPECT_FALSE(folder_.Exists("narravox-2.dat"));
  EXPECT_TRUE(StoppedWith(Convert({"/R", "/VB=0"}), "Il file di ripristino non esiste"));
  ProgramFolder reference(false);
  reference.Write("narravox.INI", Configuration("F=1\r\n"));
  reference.Write("libro.txt", text);
  reference.Write("altro.txt", SplitText(30));
  reference.Write("terzo.txt", "Terzo testo.\n");
  ASSERT_EQ(reference.Run({"/VB=0", "libro.txt", "altro.txt", "terzo.txt"}).exitCode, 0);
  EXPECT_EQ(Tree(folder_), Tree(reference));
}

TEST_F(Recovery, NewRunKeepsAnInterruptedOneThatResumesLater) {
  const std::string text = SplitText(8);
  Configure("F=1\r\nRF=---\r\n");
  folder_.Write("libro.txt", text);
  folder_.Write("altro.txt", "Altro testo.\n");
  int pid = folder_.Start({"/VB=0", "libro.txt"}, "", Slow({}));
  ASSERT_TRUE(WaitFor(folder_, "out/libro/003.mp3"));
  kill(pid, SIGKILL);
  folder_.Wait(pid);
  std::string interrupted = folder_.Read("narravox.dat");

  RunResult other = Convert({"/VB=0", "altro.txt"});
  EXPECT_EQ(other.output, "");
  EXPECT_EQ(other.errors, KeptRecoveryWarning(folder_, folder_.File("libro.txt")));
  EXPECT_EQ(other.exitCode, 0);
  EXPECT_EQ(folder_.Read("narravox.dat.1"), interrupted);
  EXPECT_FALSE(folder_.Exists("narravox.dat"));

  RunResult resumed = Convert({"/R=narravox.dat.1", "/VB=0"});
  EXPECT_EQ(resumed.output, "");
  EXPECT_EQ(resumed.exitCode, 0);
  EXPECT_FALSE(folder_.Exists("narravox.dat.1"));
  EXPECT_EQ(TreeOf(folder_, "out/libro/"), Reference("F=1\r\nRF=---\r\n", text));
  EXPECT_EQ(Out("altro/001.mp3"), "altro 1.\r\n\r\naltro testo.\r\n");
}

TEST_F(Recovery, DecliningTheDeletionLeavesNoRecoveryFileAndTheOlderOneInPlace) {
  Configure("TI=N\r\n");
  folder_.Write("libro.txt", "Nuovo.\n");
  folder_.MakeFolder("out");
  folder_.MakeFolder("out/libro");
  folder_.Write("out/libro/001.mp3", "vecchio");
  RunResult refused = Convert({"/VB=0", "libro.txt"}, "no\n");
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_FALSE(folder_.Exists("narravox.dat"));

  const std::string older = "ATTENZIONE!!! Non modificare questo file.\r\n" + folder_.File("out/") +
                            "::1024::0\r\n" + folder_.File("libro.txt") + "\r\n";
  folder_.Write("narravox.dat", older);
  refused = Convert({"/VB=0", "libro.txt"}, "no\n");
  EXPECT_EQ(refused.exitCode, 1);
  // A run that made no file replaces no kept run.
  EXPECT_EQ(folder_.Read("narravox.dat"), older);
  EXPECT_FALSE(folder_.Exists("narravox.dat.1"));
  EXPECT_EQ(Out("libro/001.mp3"), "vecchio");
}

TEST_F(Recovery, ReconversionsWithFewerOrNoGroupsLeaveNoOldGroupFolder) {
  Configure("TI=N\r\nIC=S\r\nCC=N\r\nRF=---\r\n");
  folder_.Write("libro.txt", SplitText(15));
  ASSERT_EQ(Convert({"/VB=0", "/F=1", "/G=5", "libro.txt"}).exitCode, 0);
  ASSERT_EQ(Listing("out"), "libro01\nlibro02\nlibro03\n");
  folder_.Write("out/libro03/nota.txt", "dell'utente");
  // Another text whose folder looks like a group folder of this one.
  folder_.MakeFolder("out/libro04");
  folder_.Write("out/libro04/001.mp3", "altro libro");

  ASSERT_EQ(Convert({"/VB=0", "/F=1", "/G=8", "libro.txt"}).exitCode, 0);
  EXPECT_EQ(Listing("out"), "libro01\nlibro02\nlibro03\nlibro04\n");
  EXPECT_EQ(Listing("out/libro03"), "nota.txt\n");
  EXPECT_EQ(Listing("out/libro02"),
            "000.mp3\n009.mp3\n010.mp3\n011.mp3\n012.mp3\n013.mp3\n014.mp3\n015.mp3\n");

  ASSERT_EQ(Convert({"/VB=0", "/F=1", "/G=5", "/RG=S", "libro.txt"}).exitCode, 0);
  EXPECT_EQ(Listing("out"), "libro\nlibro03\nlibro04\n");
  EXPECT_EQ(Listing("out/libro"), "000.mp3\n01\n02\n03\n");

  ASSERT_EQ(Convert({"/VB=0", "/F=1", "/G=N", "libro.txt"}).exitCode, 0);
  EXPECT_EQ(Listing("out"), "libro\nlibro03\nlibro04\n");
  EXPECT_EQ(Listing("out/libro03"), "nota.txt\n");
  EXPECT_EQ(Out("libro04/001.mp3"), "altro libro");
  std::string files = Listing("out/libro");
  EXPECT_EQ(files.find("01\n"), std::string::npos) << files;
  EXPECT_NE(files.find("015.mp3\n"), std::string::npos) << files;
}

}  // namespace
