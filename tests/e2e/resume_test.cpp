// Runs that end early, by a failure or an interruption, and their
// continuation with "/R": no partial MP3 file is ever left, and the resumed
// run ends with the same files as an uninterrupted one.
#include <unistd.h>
#include <csignal>

#include "conversion_fixture.h"

namespace {

using Resume = Conversion;

TEST_F(Resume, EncoderFailureKeepsTheCheckpointAndResumeFinishes) {
  const std::string lines = "F=1\r\n";
  const std::string text = Sentences(200);
  Configure(lines);
  folder_.Write("libro.txt", text);
  // One stream, so that the third stream is the third file's.
  RunResult failed = Convert({"/VB=0", "/PA=1", "libro.txt"}, "",
                             {{"NARRAVOX_FAKE_ENC_FAIL", "beInitStream:3:2"}});
  EXPECT_TRUE(StoppedWith(failed, "Errore encoder MP3 (codice 2)"));
  EXPECT_EQ(Listing("out/libro"), "001.mp3\n002.mp3\n");
  std::string recovery = folder_.Read("narravox.dat");
  EXPECT_NE(recovery.find(folder_.File("libro.txt") + "::"), std::string::npos);
  EXPECT_NE(recovery.find("::3\r\n"), std::string::npos) << recovery;

  RunResult resumed = Convert({"/R", "/VB=0"});
  EXPECT_EQ(resumed.output, "");
  EXPECT_EQ(resumed.exitCode, 0);
  EXPECT_FALSE(folder_.Exists("narravox.dat"));
  EXPECT_EQ(Tree(folder_), Reference(lines, text));
}

TEST_F(Resume, EngineFailureLeavesNoPartialFile) {
  Configure("F=1\r\n");
  folder_.Write("libro.txt", Sentences(100));
  RunResult failed = Convert({"/VB=0", "/PA=1", "libro.txt"}, "",
                             {{"NARRAVOX_FAKE_ECI_FAIL", "eciSynchronize:2:5"}});
  EXPECT_NE(failed.errors.find("* ERRORE: Errore dell'engine di sintesi vocale (codice 5);\n"
                               "(info addizionali dell'engine: \"injected failure of "
                               "eciSynchronize (call 2)\")"),
            std::string::npos)
      << failed.errors;
  EXPECT_EQ(Listing("out/libro"), "001.mp3\n");
}

// Converts 300 sentences into groups of 5 with a folder standing where the
// file blocked must go into libro02, so that the grouping step stops there
// with the RecoveryFile's "::-1::"; then takes that folder away.
void InterruptGrouping(const ProgramFolder& folder, const std::string& blocked) {
  folder.Write("libro.txt", Sentences(300));
  folder.MakeFolder("out");
  folder.MakeFolder("out/libro02");
  folder.MakeFolder("out/libro02/" + blocked);
  RunResult failed = folder.Run({"/VB=0", "libro.txt"});
  EXPECT_TRUE(StoppedWith(failed, "Impossibile spostare il file \"" +
                                      folder.File("out/libro/" + blocked) +
                                      "\" (codice 17: il file esiste gia')"));
  std::string recovery = folder.Read("narravox.dat");
  EXPECT_NE(recovery.find(folder.File("libro.txt") + "::-1::"), std::string::npos) << recovery;
  EXPECT_TRUE(folder.Exists("out/libro01/005.mp3"));
  EXPECT_TRUE(folder.Exists("out/libro/009.mp3"));
  ASSERT_EQ(rmdir(folder.File("out/libro02/" + blocked).c_str()), 0);
}

TEST_F(Resume, InterruptedGroupingIsFinishedByResume) {
  const std::string lines = "TI=N\r\nF=1\r\nG=5\r\nIC=S\r\n";
  Configure(lines);
  InterruptGrouping(folder_, "008.mp3");
  RunResult resumed = Convert({"/R", "/VB=0"});
  EXPECT_EQ(resumed.exitCode, 0) << resumed.output;
  EXPECT_EQ(Tree(folder_), Reference(lines, Sentences(300)));
}

// File clips move with their files; a clip left behind, or one missing,
// is moved or written by the resumed run.
TEST_F(Resume, InterruptedGroupingMovesAndWritesTheFileClips) {
  const std::string lines = "TI=N\r\nF=1\r\nG=5\r\nCR=MP3\r\nCF=S\r\n";
  Configure(lines);
  InterruptGrouping(folder_, "008.mp3.talk");
  EXPECT_TRUE(OutExists("libro02/008.mp3"));
  EXPECT_EQ(Out("libro/012.mp3.talk"), ClipContent("libro, file 12"));
  ASSERT_EQ(unlink(folder_.File("out/libro/012.mp3.talk").c_str()), 0);
  RunResult resumed = Convert({"/R", "/VB=0"});
  EXPECT_EQ(resumed.exitCode, 0) << resumed.output;
  EXPECT_EQ(Tree(folder_), Reference(lines, Sentences(300)));
  EXPECT_EQ(Out("libro03/012.mp3.talk"), ClipContent("libro, file 12"));
}

TEST_F(Resume, InterruptionLeavesNoPartialFileAndResumeFinishes) {
  const std::string lines = "F=1\r\n";
  const std::string text = Sentences(2000);
  Configure(lines);
  folder_.Write("libro.txt", text);
  // Small engine buffers make the conversion slow enough to be interrupted.
  int pid = folder_.Start({"/VB=0", "libro.txt"}, "", {{"NARRAVOX_FAKE_ECI_FILL", "32"}});
  ASSERT_TRUE(folder_.AwaitFile(pid, "out/libro/" + Track(3)))
      << "no third file while the program ran; " << folder_.Stop(pid);
  kill(pid, SIGINT);
  RunResult interrupted = folder_.Wait(pid);
  EXPECT_EQ(interrupted.exitCode, 128 + SIGINT);
  EXPECT_EQ(interrupted.output, "\n\b** Interrotto dall'utente **\nPer riprendere: narravox /R\n");

  // Every file left is complete: the same as in an uninterrupted run.
  std::string reference = Reference(lines, text);
  ExpectOnlyCompleteFiles(reference);
  EXPECT_NE(folder_.Read("narravox.dat").find("::"), std::string::npos);

  RunResult resumed = Convert({"/R", "/VB=0"});
  EXPECT_EQ(resumed.exitCode, 0) << resumed.output;
  EXPECT_EQ(Tree(folder_), reference);
}

}  // namespace
