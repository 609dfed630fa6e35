// The JobList built from names, list files and patterns, the RecoveryFile it
// leaves, and "/R" with good and damaged RecoveryFiles.
#include <gtest/gtest.h>

#include "run_program.h"

namespace {

class JobList : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.Write("narravox.INI", "[Narravox]\r\nVB=1\r\n");
    folder_.MakeFolder("out");
  }
  // The set-up ends and the conversion stops at once: the engine library of
  // these tests is an empty file. The RecoveryFile stays as set-up wrote it.
  std::string EngineStop() const {
    return "Impossibile caricare la libreria " + folder_.File("libeci.so") + ", errore codice 0";
  }
  std::string Recovery(const std::vector<std::string>& texts,
                       const std::string& layout = "") const {
    std::string text = "ATTENZIONE!!! Non modificare questo file.\r\n" +
                       (layout.empty() ? folder_.path() + "/::16384::0" : layout) + "\r\n";
    for (const std::string& t : texts) text += t + "\r\n";
    return text + SettingsRecord();
  }
  ProgramFolder folder_;
};

TEST_F(JobList, NamesWithDefaultExtensionInArgumentOrder) {
  folder_.Write("BOOK.TXT", "x");
  folder_.Write("b.txt", "x");
  RunResult run = folder_.Run({"/D=out", "/F=2", "/G=5", "b", "BOOK", "b.txt"});
  EXPECT_TRUE(StoppedWith(run, EngineStop()));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(folder_.Read("narravox.dat"),
            Recovery({folder_.File("b.txt"), folder_.File("BOOK.TXT"), folder_.File("b.txt")},
                     folder_.File("out/") + "::2048::5"));
}

TEST_F(JobList, ListFileLinesAreResolvedAgainstTheCurrentFolder) {
  folder_.MakeFolder("lists");
  folder_.Write("lists/BOOKS.LST", "a\r\nsub/c.txt\nb\r\n");
  folder_.MakeFolder("sub");
  folder_.Write("a.txt", "x");
  folder_.Write("b.TXT", "x");
  folder_.Write("sub/c.txt", "x");
  EXPECT_TRUE(StoppedWith(folder_.Run({"@lists/BOOKS"}), EngineStop()));
  EXPECT_EQ(folder_.Read("narravox.dat"),
            Recovery({folder_.File("a.txt"), folder_.File("sub/c.txt"), folder_.File("b.TXT")}));
}

TEST_F(JobList, ListFileProblems) {
  folder_.Write("blank.lst", "\r\n");
  folder_.Write("empty.lst", "");
  folder_.Write("a.txt", "x");
  EXPECT_TRUE(StoppedWith(
      folder_.Run({"@nessuna"}),
      "Impossibile trovare il file \"nessuna\" (codice 2: file o cartella inesistente)"));
  EXPECT_TRUE(
      StoppedWith(folder_.Run({"@blank"}),
                  "Impossibile trovare il file \"\" (codice 2: file o cartella inesistente)"));
  EXPECT_TRUE(StoppedWith(folder_.Run({"@empty", "a.txt"}), EngineStop()));
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
  EXPECT_TRUE(StoppedWith(folder_.Run({"t/*.txt"}), EngineStop()));
  EXPECT_EQ(folder_.Read("narravox.dat"),
            Recovery({folder_.File("t/A.TXT"), folder_.File("t/b.txt")}));
  EXPECT_TRUE(StoppedWith(folder_.Run({"t/?.DOC"}), EngineStop(), kBannerLines,
                          KeptRecoveryWarning(folder_)));
  EXPECT_EQ(folder_.Read("narravox.dat"), Recovery({folder_.File("t/e.doc")}));
  EXPECT_TRUE(StoppedWith(folder_.Run({"t/*.mp3"}),
                          "Impossibile trovare il file \"" + folder_.File("t/*.mp3") + "\""));
  EXPECT_TRUE(StoppedWith(folder_.Run({"t/d*"}),
                          "Impossibile trovare il file \"" + folder_.File("t/d*") + "\""));
  EXPECT_TRUE(StoppedWith(folder_.Run({"nessuna/*.txt"}),
                          "Impossibile trovare il file \"" + folder_.File("nessuna/*.txt") + "\""));
}

TEST_F(JobList, TestModeWritesNoRecoveryFile) {
  folder_.Write("a.txt", "x");
  folder_.Write("narravox.dat", "vecchio");
  EXPECT_TRUE(StoppedWith(folder_.Run({"/TEST", "a.txt"}), EngineStop()));
  EXPECT_EQ(folder_.Read("narravox.dat"), "vecchio");
}

TEST_F(JobList, DestinationIsMadeAbsolute) {
  folder_.Write("a.txt", "x");
  ASSERT_TRUE(StoppedWith(folder_.Run({"/D=out/", "a.txt"}), EngineStop()));
  EXPECT_EQ(folder_.Read("narravox.dat"),
            Recovery({folder_.File("a.txt")}, folder_.File("out/") + "::16384::0"));
  ASSERT_TRUE(StoppedWith(folder_.Run({"/D=", "a.txt"}), EngineStop(), kBannerLines,
                          KeptRecoveryWarning(folder_)));
  EXPECT_EQ(folder_.Read("narravox.dat"), Recovery({folder_.File("a.txt")}));
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
                               "/altrove/::4096::10");
  folder_.Write("narravox.dat", saved);
  EXPECT_TRUE(StoppedWith(folder_.Run({"/r", "/VB=2"}), EngineStop()));
  // The warning comes before the banner, which the conversion prints.
  RunResult warned = folder_.Run({"/RIPRENDI", "/D=x", "/F=1"});
  EXPECT_EQ(warned.output, kBannerLines);
  EXPECT_EQ(warned.errors,
            "***AVVISO: Alcune impostazioni sono state prelevate dal file di ripristino\n"
            "* ERRORE: " +
                EngineStop() + "\n");
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
    EXPECT_EQ(run.exitCode, 1);
  }
}

TEST_F(JobList, ResumeChecksEveryTextStillExists) {
  folder_.Write("a.txt", "x");
  folder_.Write("narravox.dat",
                Recovery({folder_.File("a.txt") + "::-1::12", folder_.File("gone.txt")}));
  EXPECT_TRUE(StoppedWith(folder_.Run({"/R"}), "Impossibile trovare il file \"" +
                                                   folder_.File("gone.txt") +
                                                   "\" (codice 2: file o cartella inesistente)"));
  // A first line without sizes keeps the configured fragment size.
  folder_.Write("narravox.dat", "x\n" + folder_.path() + "/\n" + folder_.File("a.txt") + "\n");
  EXPECT_TRUE(StoppedWith(folder_.Run({"/R"}), EngineStop()));
}

TEST_F(JobList, RecoveryFileThatCannotBeWritten) {
  folder_.Write("a.txt", "x");
  folder_.MakeFolder("narravox.dat");
  RunResult run = folder_.Run({"a.txt"});
  EXPECT_TRUE(StoppedWith(run, "Cannot create file \"" + folder_.File("narravox.dat") +
                                   "\". Il percorso indicato e' una cartella."));
  EXPECT_EQ(run.exitCode, 1);
}

}  // namespace
