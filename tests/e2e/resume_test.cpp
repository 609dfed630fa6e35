// Runs that end early, by a failure or an interruption, and their
// continuation with "/R": no partial MP3 file is ever left, and the resumed
// run ends with the same files as an uninterrupted one.
#include <csignal>
#include <thread>

#include "conversion_fixture.h"

namespace {

std::string Sentences(int n) {
  std::string text;
  for (int i = 1; i <= n; ++i)
    text += "Questa e' la frase numero " + std::to_string(i) + " del libro.\n";
  return text;
}

class Resume : public Conversion {
 protected:
  // The tree of an uninterrupted run of the same text and settings.
  std::string Reference(const std::string& lines, const std::string& text) {
    ProgramFolder reference(false);
    reference.Write("narravox.INI", std::string("[Narravox]\r\nECIDLL=") + FAKE_ECI_LIBRARY +
                                        "\r\nMP3DLL=" + FAKE_ENC_LIBRARY +
                                        "\r\nD=out\r\nPC=0\r\nP=NORMALE\r\n" + lines);
    reference.Write("libro.txt", text);
    EXPECT_EQ(reference.Run({"/VB=0", "libro.txt"}).exitCode, 0);
    return Tree(reference);
  }
  // Every file under out/ with its content.
  static std::string Tree(const ProgramFolder& folder) {
    std::string listing;
    std::string command = "cd '" + folder.path() + "' && find out -type f | sort > .tree";
    if (std::system(command.c_str()) != 0) return "";
    std::string names = folder.Read(".tree");
    for (size_t at = 0, end; (end = names.find('\n', at)) != std::string::npos; at = end + 1) {
      std::string name = names.substr(at, end - at);
      listing += name + " " + std::to_string(std::hash<std::string>()(folder.Read(name))) + "\n";
    }
    return listing;
  }
};

TEST_F(Resume, EncoderFailureKeepsTheCheckpointAndResumeFinishes) {
  const std::string lines = "F=1\r\n";
  const std::string text = Sentences(200);
  Configure(lines);
  folder_.Write("libro.txt", text);
  RunResult failed = Convert({"/VB=0", "libro.txt"}, "", {{"NARRAVOX_FAKE_ENC_FAIL", "beInitStream:3:2"}});
  EXPECT_EQ(failed.output, std::string(kBannerLines) + "* ERRORE: Errore encoder MP3 (codice 2)\n");
  EXPECT_EQ(failed.exitCode, 1);
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
  RunResult failed =
      Convert({"/VB=0", "libro.txt"}, "", {{"NARRAVOX_FAKE_ECI_FAIL", "eciSynchronize:2:5"}});
  EXPECT_NE(failed.output.find("* ERRORE: Errore dell'engine di sintesi vocale (codice 5);\n"
                               "(info addizionali dell'engine: \"injected failure of "
                               "eciSynchronize (call 2)\")"),
            std::string::npos)
      << failed.output;
  EXPECT_EQ(Listing("out/libro"), "001.mp3\n");
}

TEST_F(Resume, InterruptedGroupingIsFinishedByResume) {
  const std::string lines = "TI=N\r\nF=1\r\nG=5\r\nIC=S\r\n";
  const std::string text = Sentences(300);
  Configure(lines);
  folder_.Write("libro.txt", text);
  // A folder where a file must go stops the moves half-way.
  folder_.MakeFolder("out");
  folder_.MakeFolder("out/libro02");
  folder_.MakeFolder("out/libro02/008.mp3");
  RunResult failed = Convert({"/VB=0", "libro.txt"});
  EXPECT_EQ(failed.output, std::string(kBannerLines) +
                               "* ERRORE: Impossibile spostare il file \"" +
                               folder_.File("out/libro/008.mp3") + "\" (codice 17)\n");
  std::string recovery = folder_.Read("narravox.dat");
  EXPECT_NE(recovery.find(folder_.File("libro.txt") + "::-1::"), std::string::npos) << recovery;
  EXPECT_TRUE(OutExists("libro01/005.mp3"));
  EXPECT_TRUE(OutExists("libro/009.mp3"));

  ASSERT_EQ(rmdir(folder_.File("out/libro02/008.mp3").c_str()), 0);
  RunResult resumed = Convert({"/R", "/VB=0"});
  EXPECT_EQ(resumed.exitCode, 0) << resumed.output;
  EXPECT_EQ(Tree(folder_), Reference(lines, text));
}

TEST_F(Resume, InterruptionLeavesNoPartialFileAndResumeFinishes) {
  const std::string lines = "F=1\r\n";
  const std::string text = Sentences(2000);
  Configure(lines);
  folder_.Write("libro.txt", text);
  // Small engine buffers make the conversion slow enough to be interrupted.
  int pid = folder_.Start({"/VB=0", "libro.txt"}, "", {{"NARRAVOX_FAKE_ECI_FILL", "32"}});
  while (!OutExists("libro/" + Track(3))) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  kill(pid, SIGINT);
  RunResult interrupted = folder_.Wait(pid);
  EXPECT_EQ(interrupted.exitCode, 128 + SIGINT);
  EXPECT_EQ(interrupted.output, "\n\b** Interrotto dall'utente **\n");

  // Every file left is complete: the same as in an uninterrupted run.
  std::string reference = Reference(lines, text);
  std::string partial = Tree(folder_);
  for (size_t at = 0, end; (end = partial.find('\n', at)) != std::string::npos; at = end + 1)
    EXPECT_NE(reference.find(partial.substr(at, end - at + 1)), std::string::npos)
        << partial.substr(at, end - at);
  EXPECT_NE(folder_.Read("narravox.dat").find("::"), std::string::npos);

  RunResult resumed = Convert({"/R", "/VB=0"});
  EXPECT_EQ(resumed.exitCode, 0) << resumed.output;
  EXPECT_EQ(Tree(folder_), reference);
}

}  // namespace
