// Faults of the disk, the texts and the libraries: each ends the run with
// its Italian error and exit code 1, leaves no partial MP3 file, and leaves a
// RecoveryFile from which "/R" finishes the job.
#include <unistd.h>
#include <cstdio>

#include "conversion_fixture.h"

namespace {

class Faults : public Conversion {
 protected:
  // Runs text as libro.txt with lines; the run must fail with message.
  RunResult Fail(const std::string& lines, const std::string& text, const std::string& message,
                 const std::map<std::string, std::string>& env = {},
                 const std::string& option = "/VB=0") {
    lines_ = lines;
    text_ = text;
    Configure(lines);
    folder_.Write("libro.txt", text);
    RunResult run = Convert({"/VB=0", option, "libro.txt"}, "", env);
    EXPECT_TRUE(StoppedWith(run, message));
    reference_ = Reference(lines, text);
    ExpectOnlyCompleteFiles(reference_);
    return run;
  }
  // "/R", without the fault, finishes with the files of an uninterrupted run.
  void ResumeFinishes() {
    folder_.LimitFileSize(0);
    Configure(lines_);
    RunResult run = Convert({"/R", "/VB=0"});
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(Tree(folder_), reference_);
    EXPECT_FALSE(folder_.Exists("narravox.dat"));
  }
  std::string lines_, text_, reference_;
};

// Two fragments: a short one, then one of about 3000 bytes.
const std::string kShortThenLong = "Breve.\n---\n" + Sentences(70);

TEST_F(Faults, FullDiskDuringAFragment) {
  folder_.LimitFileSize(1000);
  Fail("TI=N\r\nRF=---\r\n", kShortThenLong,
       "Errore durante la scrittura del file \"" + folder_.File("out/libro/002.mp3") +
           "\" (codice 27: file troppo grande per il limite del sistema, ulimit -f)");
  EXPECT_EQ(Listing("out/libro"), "001.mp3\n");
  EXPECT_NE(folder_.Read("narravox.dat").find("::2\r\n"), std::string::npos);
  ResumeFinishes();
}

TEST_F(Faults, FullDiskDuringTheTag) {
  // The fragment's bytes fit; the tag after them does not.
  std::string fragment = "libro 1.\r\n\r\n" + Sentences(14);
  for (size_t at = 0; (at = fragment.find(".\n", at)) != std::string::npos; at += 3)
    fragment.replace(at, 2, ".\r\n");
  folder_.LimitFileSize(static_cast<long>(fragment.size()) + 64);
  Fail("I3=S\r\nRF=---\r\n", Sentences(14) + "---\nAltro.\n",
       "Errore durante la scrittura del file \"" + folder_.File("out/libro/001.mp3") + "\"");
  EXPECT_EQ(Listing("out/libro"), "");
  ResumeFinishes();
}

TEST_F(Faults, FullDiskDuringTheRecoveryFileWrite) {
  // The first checkpoint after a file makes the RecoveryFile a byte longer
  // than the limit; the MP3 files are smaller.
  Configure("TI=N\r\nRF=---\r\n");
  folder_.Write("libro.txt", "x");
  std::string initial =
      "ATTENZIONE!!! Non modificare questo file.\r\n" + folder_.File("out/") + "::16384::0\r\n" +
      folder_.File("libro.txt") + "::0::1\r\n" +
      SettingsRecord({{"TITOLO", "N"}, {"RIGAFRAMMENTA", "---"}, {"PAUSACODA", "0"},
                      {"MAIUSCOLE", "N"}, {"NORMALIZZA", "N"}});
  folder_.LimitFileSize(static_cast<long>(initial.size()));
  // One stream: a checkpoint after every file.
  Fail("TI=N\r\nRF=---\r\n", "Uno.\n---\nDue.\n---\nTre.\n",
       "Errore durante la scrittura del file di ripristino", {}, "/PA=1");
  EXPECT_EQ(folder_.Read("narravox.dat"), initial);
  EXPECT_FALSE(folder_.Exists("narravox.dat.tmp"));
  ResumeFinishes();
}

TEST_F(Faults, TextGoneDuringTheRun) {
  Configure("F=1\r\n");
  folder_.Write("libro.txt", Sentences(600));
  folder_.Write("secondo.txt", "Il secondo testo.\n");
  int pid =
      folder_.Start({"/VB=0", "libro.txt", "secondo.txt"}, "", {{"NARRAVOX_FAKE_ECI_FILL", "32"}});
  ASSERT_TRUE(folder_.AwaitFile(pid, "out/libro/" + Track(2)))
      << "no second file while the program ran; " << folder_.Stop(pid);
  ASSERT_EQ(rename(folder_.File("secondo.txt").c_str(), folder_.File("via.txt").c_str()), 0);
  // The text gone is reported, and the run ends with the others converted.
  RunResult run = folder_.Wait(pid);
  EXPECT_EQ(run.errors, "* ERRORE: Impossibile trovare il file \"" + folder_.File("secondo.txt") +
                            "\" (codice 2: file o cartella inesistente)\n");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_FALSE(folder_.Exists("narravox.dat"));
  EXPECT_FALSE(OutExists("secondo"));
  EXPECT_TRUE(OutExists("libro/" + Track(2)));
}

TEST_F(Faults, EngineStopsMidSynthesis) {
  Fail("F=1\r\n", Sentences(200),
       "Errore dell'engine di sintesi vocale (codice 2);\n(info addizionali dell'engine: "
       "\"injected failure of eciSynchronize (call 3)\")",
       {{"NARRAVOX_FAKE_ECI_FAIL", "eciSynchronize:3"}}, "/PA=1");
  EXPECT_EQ(Listing("out/libro"), "001.mp3\n002.mp3\n");
  ResumeFinishes();
}

TEST_F(Faults, EncoderLibraryWithoutAnEntryPoint) {
  Fail("F=1\r\n", Sentences(50),
       std::string("Impossibile trovare la funzione beInitStream nella DLL ") + FAKE_ECI_LIBRARY,
       {}, std::string("/MP3DLL=") + FAKE_ECI_LIBRARY);
  EXPECT_FALSE(OutExists("libro/" + Track(1)));
  // The run failed before its first text: it leaves nothing to resume.
  EXPECT_FALSE(folder_.Exists("narravox.dat"));
  EXPECT_EQ(Convert({"/VB=0", "libro.txt"}).exitCode, 0);
  EXPECT_EQ(Tree(folder_), reference_);
}

}  // namespace
