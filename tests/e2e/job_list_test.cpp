// The JobList built from names, list files and patterns, the RecoveryFile it
// leaves, and "/R" with good and damaged RecoveryFiles.
#include <gtest/gtest.h>

#include "run_program.h"

namespace {

class JobList : public ::testing::Test {
 protected:
  void SetUp() override {
    // One file at a time: with workers, the next text may be started too
    // when the first file stops the run.
    folder_.Write("narravox.INI", std::string("[Narravox]\r\nVB=0\r\nPA=1\r\nECIDLL=") +
                                      FAKE_ECI_LIBRARY + "\r\nMP3DLL=" + FAKE_ENC_LIBRARY + "\r\n");
    folder_.MakeFolder("out");
  }
  // The run starts its first text and stops as its first file is spoken:
  // the RecoveryFile stays as the run wrote it before that file.
  RunResult StopAtFirstFile(const std::vector<std::string>& args) const {
    return folder_.Run(args, "", {{"NARRAVOX_FAKE_ECI_FAIL", "eciSynchronize:1"}});
  }
  // A RecoveryFile whose first text starts at its beginning.
  std::string Recovery(std::vector<std::string> texts, const std::string& layout = "") const {
    std::string text = "ATTENZIONE!!! Non modificare questo file.\r\n" +
                       (layout.empty() ? folder_.path() + "/::16384::0" : layout) + "\r\n";
    for (const std::string& t : texts) text += t + "\r\n";
    return text + SettingsRecord();
  }
  ProgramFolder folder_{false};
};

TEST_F(JobList, NamesWithDefaultExtensionInArgumentOrder) {
  folder_.Write("BOOK.TXT", "x");
  folder_.Write("b.txt", "x");
  RunResult run = StopAtFirstFile({"/D=out", "/F=2", "/G=5", "b", "BOOK", "b.txt"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(folder_.Read("narravox.dat"),
            Recovery({folder_.File("b.txt") + "::0::1", folder_.File("BOOK.TXT"), folder_.File("b.txt")},
                     folder_.File("out/") + "::2048::5"));
}

TEST_F(JobList, ListFileLinesAreResolvedAgainstTheCurrentFolder) {
  folder_.MakeFolder("lists");
  folder_.Write("lists/BOOKS.LST", "a\r\nsub/c.txt\nb\r\n");
  folder_.MakeFolder("sub");
  folder_.Write("a.txt", "x");
  folder_.Write("b.TXT", "x");
  folder_.Write("sub/c.txt", "x");
  EXPECT_EQ(StopAtFirstFile({"@lists/BOOKS"}).exitCode, 1);
  EXPECT_EQ(folder_.Read("narravox.dat"), Recovery({folder_.File("a.txt") + "::0::1",
                                                    folder_.File("sub/c.txt"), folder_.File("b.TXT")}));
}

TEST_F(JobList, ListFileProblemsAreReportedAndTheBatchGoesOn) {
  folder_.Write("blank.lst", "\r\n");
  folder_.Write("empty.lst", "");
  folder_.Write("a.txt", "x");
  const std::string missing = "* ERRORE: Impossibile trovare il file \"nessuna\" (codice 2: file o cartella inesistente)\n";
  RunResult run = folder_.Run({"@nessuna"});
  EXPECT_EQ(run.errors, missing);
  EXPECT_EQ(run.exitCode, 1);
  run = folder_.Run({"@blank"});
  EXPECT_EQ(run.errors, "* ERRORE: Impossibile trovare il file \"\" (codice 2: file o cartella inesistente)\n");
  EXPECT_EQ(run.exitCode, 1);
  run = folder_.Run({"@nessuna", "@empty", "a.txt"});
  EXPECT_EQ(run.errors, missing);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(folder_.Exists("a/001.mp3"));
  EXPECT_FALSE(folder_.Exists("narravox.dat"));
  EXPECT_TRUE(
      StoppedWith(folder_.Run({"@empty"}), "Nessun file di testo specificato nella riga comandi"));
}

TEST_F(JobList, PatternsSkipFoldersAndHiddenFilesInNameOrder) {
  folder_.MakeFolder("t");
  folder_.Write("t/b.txt", "x");
  folder_.Write("t/A.TXT", "x");
  folder_.Write("t/.c.txt", "x");
  folder_.MakeFolder("t/d.txt");
  folder_.Write("t/e.doc", "x");
  EXPECT_EQ(StopAtFirstFile({"t/*.txt"}).exitCode, 1);
  EXPECT_EQ(folder_.Read("narravox.dat"),
            Recovery({folder_.File("t/A.TXT") + "::0::1", folder_.File("t/b.txt")}));
  ASSERT_EQ(StopAtFirstFile({"t/?.DOC"}).exitCode, 1);
  EXPECT_EQ(folder_.Read("narravox.dat"), Recovery({folder_.File("t/e.doc") + "::0::1"}));
  for (const char* pattern : {"t/*.mp3", "t/d*", "nessuna/*.txt"}) {
    RunResult run = folder_.Run({pattern});
    EXPECT_EQ(run.errors, "* ERRORE: Impossibile trovare il file \"" + folder_.File(pattern) + "\"\n");
    EXPECT_EQ(run.exitCode, 1);
  }
}

TEST_F(JobList, TestModeWritesNoRecoveryFile) {
  folder_.Write("a.txt", "x");
  folder_.Write("narravox.dat", "vecchio");
  EXPECT_EQ(StopAtFirstFile({"/TEST", "a.txt"}).exitCode, 1);
  EXPECT_EQ(folder_.Read("narravox.dat"), "vecchio");
}

TEST_F(JobList, DestinationIsMadeAbsolute) {
  folder_.Write("a.txt", "x");
  ASSERT_EQ(StopAtFirstFile({"/D=out/", "a.txt"}).exitCode, 1);
  EXPECT_EQ(folder_.Read("narravox.dat"),
            Recovery({folder_.File("a.txt") + "::0::1"}, folder_.File("out/") + "::16384::0"));
  RunResult run = StopAtFirstFile({"/D=", "a.txt"});
  EXPECT_EQ(run.errors.find(KeptRecoveryWarning(folder_, folder_.File("a.txt"))), 0u) << run;
  EXPECT_EQ(folder_.Read("narravox.dat"), Recovery({folder_.File("a.txt") + "::0::1"}));
}

TEST_F(JobList, ResumeWithoutOrBesideARecoveryFile) {
  folder_.Write("a.txt", "x");
  EXPECT_TRUE(StoppedWith(folder_.Run({"/R"}), "Il file di ripristino non esiste"));
  folder_.Write("narravox.dat", Recovery({folder_.File("a.txt")}));
  EXPECT_TRUE(StoppedWith(folder_.Run({"/R", "a.txt"}), "Il file di ripristino non esiste"));
}

TEST_F(JobList, ResumeTakesTheLayoutFromTheRecoveryFile) {
  folder_.Write("a.txt", "x");
  folder_.Write("b.txt", "x");
  std::string saved = Recovery({folder_.File("a.txt") + "::12345::4", folder_.File("b.txt")},
                               folder_.File("altrove/") + "::4096::10");
  folder_.Write("narravox.dat", saved);
  // The checkpoint lies beyond the end of the text, in the destination of
  // the RecoveryFile.
  EXPECT_TRUE(StoppedWith(folder_.Run({"/r"}), "Errore nel file di ripristino"));
  EXPECT_TRUE(folder_.Exists("altrove/a"));
  // The warning comes on standard error; at VERBOSITA 0 nothing else does.
  RunResult warned = folder_.Run({"/RIPRENDI", "/D=x", "/F=1"});
  EXPECT_EQ(warned.output, "");
  EXPECT_EQ(warned.errors,
            "***AVVISO: Alcune impostazioni sono state prelevate dal file di ripristino\n"
            "* ERRORE: Errore nel file di ripristino\n");
  // Resuming rewrites nothing until the conversion reaches a checkpoint.
  EXPECT_EQ(folder_.Read("narravox.dat"), saved);
}

TEST_F(JobList, DamagedRecoveryFiles) {
  folder_.Write("a.txt", "x");
  const std::string a = folder_.File("a.txt");
  const std::string dest = folder_.path() + "/";
  const std::vector<std::string> damaged[] = {
      {"ATTENZIONE", dest + "::16384::0"},
      {"ATTENZIONE", dest + "::16x::0", a},
      {"ATTENZIONE", dest + "::16384::0", a + "::12a::2"},
      {"ATTENZIONE", dest + "::1023::0", a},
      {"ATTENZIONE", dest + "::131073::0", a},
      {"ATTENZIONE", dest + "::16384::4", a},
      {"ATTENZIONE", dest + "::16384::51", a},
      {"ATTENZIONE", dest + "::16384::0", a + "::-2::1"},
      {"ATTENZIONE", dest + "::16384::0", a + "::100::0"},
  };
  for (const std::vector<std::string>& lines : damaged) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    folder_.Write("narravox.dat", text);
    RunResult run = folder_.Run({"/R"});
    EXPECT_TRUE(StoppedWith(run, "Errore nel file di ripristino")) << text;
    EXPECT_EQ(run.exitCode, 2);
  }
}

TEST_F(JobList, ResumeSkipsATextThatIsGoneAndGoesOn) {
  folder_.Write("a.txt", "x");
  folder_.Write("narravox.dat", Recovery({folder_.File("gone.txt") + "::10::2", folder_.File("a.txt")}));
  RunResult run = folder_.Run({"/R"});
  EXPECT_EQ(run.errors, "* ERRORE: Impossibile trovare il file \"" + folder_.File("gone.txt") +
                            "\" (codice 2: file o cartella inesistente)\n");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(folder_.Exists("a/001.mp3"));
  EXPECT_FALSE(folder_.Exists("narravox.dat"));
  // A first line without sizes keeps the configured fragment size.
  folder_.Write("narravox.dat", "x\n" + folder_.path() + "/\n" + folder_.File("a.txt") + "\n");
  EXPECT_EQ(folder_.Run({"/R", "/CC=N"}).exitCode, 0);
}

TEST_F(JobList, RecoveryFileThatCannotBeWritten) {
  folder_.Write("a.txt", "x");
  folder_.MakeFolder("narravox.dat");
  RunResult run = folder_.Run({"/D=out", "a.txt"});
  EXPECT_TRUE(StoppedWith(run, "Cannot create file \"" + folder_.File("narravox.dat") +
                                   "\". Il percorso indicato e' una cartella."));
  EXPECT_EQ(run.exitCode, 1);
}

}  // namespace
