// Where the engine library is recorded and looked for: the set-up command,
// the configuration file, the library installed with the program (never one
// of the current folder) and the registry search of the products that
// install the engine.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "run_program.h"

namespace {

std::string Updated(const std::string& path) {
  return std::string(kBannerLines) + "Aggiornato il file di configurazione \"" + path + "\"\n";
}

// Without a configuration file beside the program, the command writes the
// user's, a new one starting with a short guide to itself.
TEST(EciSetup, FileOrFolderIsWrittenIntoTheUsersNewConfigurationFile) {
  ProgramFolder folder(false);
  folder.MakeFolder("Eng");
  folder.Write("Eng/libeci.so", "");
  const std::string ini = "home/.config/narravox/narravox.INI";
  const std::string header =
      "[Narravox]\r\n"
      "; Impostazioni di Narravox, una riga CHIAVE=valore ciascuna (man narravox).\r\n"
      "; Le opzioni della riga comandi (/CHIAVE=valore) prevalgono su queste righe.\r\n";
  // A relative name is recorded by its full path.
  RunResult run = folder.Run({"/ECISETUP=Eng/libeci.so"});
  EXPECT_EQ(run.output, Updated(folder.File(ini)));
  EXPECT_EQ(run.exitCode, 1);
  const std::string line = "ECIDLL=" + folder.File("Eng/libeci.so") + "\r\n";
  EXPECT_EQ(folder.Read(ini), header + line);
  ASSERT_EQ(folder.Run({"/EciSetup=Eng"}).exitCode, 1);
  EXPECT_EQ(folder.Read(ini), header + line);
  ASSERT_EQ(folder.Run({"/ecisetup=" + folder.File("Eng/")}).exitCode, 1);
  EXPECT_EQ(folder.Read(ini), header + line);
  EXPECT_FALSE(folder.Exists("narravox.INI"));
}

TEST(EciSetup, ReplacesOnlyTheFirstEngineLineAndKeepsTheRest) {
  ProgramFolder folder;
  folder.Write("narravox.INI", "[Narravox]\n; c\necidll=OLD\n ECIDLL=blank\nECIDLL=second\rVB=0");
  RunResult run = folder.Run({"/ECISETUP=libeci.so"});
  // The command does not read the settings of the file: VB=0 has no effect.
  EXPECT_EQ(run.output, Updated(folder.File("narravox.INI")));
  EXPECT_EQ(folder.Read("narravox.INI"),
            "[Narravox]\r\n; c\r\necidll=" + folder.File("libeci.so") +
                "\r\n ECIDLL=blank\r\nECIDLL=second\r\nVB=0\r\n");
}

TEST(EciSetup, MissingLibraryLeavesTheConfigurationAlone) {
  ProgramFolder folder(false);
  folder.Write("narravox.INI", "VB=1\r\n");
  folder.MakeFolder("vuota");
  RunResult run = folder.Run({"/ECISETUP=vuota"});
  EXPECT_TRUE(StoppedWith(run, "Impossibile trovare il file \"" + folder.File("vuota/libeci.so") +
                                    "\" (codice 2: file o cartella inesistente)", kBannerLines));
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(folder.Read("narravox.INI"), "VB=1\r\n");
}

// The program installed in bin/ with its own engine library (an empty file:
// loading it stops the run, naming it) and the fake encoder; the folder the
// runs stand in holds a working engine library, the fake one, which must
// never be loaded unless named: a run with it would convert the text.
class EngineInCurrentFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.MakeFolder("bin");
    folder_.Write("bin/narravox", ReadFileBytes(NARRAVOX_BINARY));
    chmod(folder_.File("bin/narravox").c_str(), 0755);
    folder_.UseProgram("bin/narravox");
    folder_.Write("bin/libeci.so", "");
    folder_.Write("bin/liblame_enc.so", ReadFileBytes(FAKE_ENC_LIBRARY));
    folder_.Write("libeci.so", ReadFileBytes(FAKE_ECI_LIBRARY));
    folder_.Write("libro.txt", "Testo.\n");
    folder_.MakeFolder("home");
    folder_.MakeFolder("home/.config");
    folder_.MakeFolder("home/.config/narravox");
  }
  // The run stopped at the program's own library and converted nothing.
  ::testing::AssertionResult StoppedAtOwnLibrary(const RunResult& run) const {
    const std::string error = "* ERRORE: Impossibile caricare la libreria " +
                              folder_.File("bin/libeci.so") + ", errore codice 0\n";
    if (run.exitCode == 1 && run.errors.size() >= error.size() &&
        run.errors.compare(run.errors.size() - error.size(), error.size(), error) == 0 &&
        !folder_.Exists("libro"))
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << run << "\nstandard error:\n" << run.errors;
  }
  void Configure(const std::string& lines) const { folder_.Write(kIni, lines); }

  static constexpr const char* kIni = "home/.config/narravox/narravox.INI";
  ProgramFolder folder_{false};
};

TEST_F(EngineInCurrentFolder, WithoutConfigurationTheProgramsOwnLibraryIsRecorded) {
  EXPECT_TRUE(StoppedAtOwnLibrary(folder_.Run({"libro.txt"})));
  const std::string ini = folder_.Read(kIni);
  EXPECT_NE(ini.find("\r\nECIDLL=" + folder_.File("bin/libeci.so") + "\r\n"), std::string::npos)
      << ini;
}

TEST_F(EngineInCurrentFolder, ConfiguredNamesLieBesideTheConfigurationFile) {
  // A missing file, and a relative name that finds nothing beside the file.
  Configure("ECIDLL=/non/esiste/libeci.so\r\n");
  EXPECT_TRUE(StoppedAtOwnLibrary(folder_.Run({"libro.txt"})));
  Configure("ECIDLL=libeci.so\r\n");
  EXPECT_TRUE(StoppedAtOwnLibrary(folder_.Run({"libro.txt"})));

  // Both libraries named relative to the configuration file; "~" in the
  // destination is the home folder.
  folder_.MakeFolder("home/.config/narravox/eng");
  folder_.Write("home/.config/narravox/eng/libeci.so", ReadFileBytes(FAKE_ECI_LIBRARY));
  folder_.Write("home/.config/narravox/eng/enc.so", ReadFileBytes(FAKE_ENC_LIBRARY));
  folder_.Write("bin/liblame_enc.so", "");
  Configure("ECIDLL=eng/libeci.so\r\nMP3DLL=eng/enc.so\r\nTI=N\r\nPC=0\r\n");
  RunResult run = folder_.Run({"/VB=0", "/D=~/Libri", "libro.txt"});
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(folder_.Read("home/Libri/libro/001.mp3"), "Testo.\r\n");
}

TEST_F(EngineInCurrentFolder, SetupRecordsTheFullPathOfWhatWasTyped) {
  ASSERT_EQ(folder_.Run({"/ECISETUP=libeci.so"}).exitCode, 1);
  EXPECT_EQ(folder_.Read(kIni).substr(folder_.Read(kIni).rfind("ECIDLL=")),
            "ECIDLL=" + folder_.File("libeci.so") + "\r\n");
  folder_.MakeFolder("home/eng");
  folder_.Write("home/eng/libeci.so", "");
  ASSERT_EQ(folder_.Run({"/ECISETUP=~/eng"}).exitCode, 1);
  EXPECT_EQ(folder_.Read(kIni).substr(folder_.Read(kIni).rfind("ECIDLL=")),
            "ECIDLL=" + folder_.File("home/eng/libeci.so") + "\r\n");
}

class Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.Write("a.txt", "x");
    for (const char* name : {"old", "new", "elo"}) {
      folder_.MakeFolder(name);
      folder_.Write(std::string(name) + "/libeci.so", "");
    }
    folder_.SetTime("old/libeci.so", 1500000000);
    folder_.SetTime("new/libeci.so", 1700000000);
    folder_.SetTime("elo/libeci.so", 1800000000);
    folder_.MakeFolder("none");
  }
  RunResult RunWith(const std::string& registry, const std::string& ini) {
    folder_.Write("export.reg", registry);
    folder_.Write("narravox.INI", ini);
    return folder_.Run({"a.txt"}, "", {{"NARRAVOX_REGISTRY", folder_.File("export.reg")}});
  }
  std::string Key(const std::string& product, const std::string& sub,
                  const std::string& value) const {
    return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Freedom Scientific\\" + product + "\\" + sub + "]\r\n" +
           value + "\r\n\r\n";
  }
  // The conversion stops at once: the libraries found are empty files.
  std::string StopsAt(const std::string& library) const {
    return "Impossibile caricare la libreria " + folder_.File(library) + ", errore codice 0";
  }
  std::string Target(const std::string& name) const {
    return "\"Target\"=\"" + folder_.File(name) + "\"";
  }
  ProgramFolder folder_{false};
};

TEST_F(Registry, NewestLibraryOfTheFirstProductIsRecorded) {
  std::string reg = "Windows Registry Editor Version 5.00\r\n\r\n" +
                    Key("JAWS", "2020", Target("new")) + Key("JAWS", "2023", Target("old")) +
                    Key("JAWS", "2024", Target("none")) + Key("JAWS", "2025", "\"Altro\"=\"x\"") +
                    Key("Eloquence", "1", Target("elo"));
  RunResult run = RunWith(reg, "ECIDLL=/non/esiste.so\r\n");
  // The run goes on with the library found, an empty file in these tests.
  EXPECT_TRUE(StoppedWith(run, StopsAt("new/libeci.so"), Updated(folder_.File("narravox.INI"))));
  EXPECT_EQ(folder_.Read("narravox.INI"), "ECIDLL=" + folder_.File("new/libeci.so") + "\r\n");
  // The next run finds the recorded library and searches no more.
  folder_.Write("export.reg", "");
  EXPECT_TRUE(StoppedWith(folder_.Run({"a.txt"}), StopsAt("new/libeci.so"), kBannerLines));
}

TEST_F(Registry, LaterProductsOnlyWhenEarlierOnesHaveNothing) {
  std::string reg = "REGEDIT4\n\n" + Key("JAWS", "1", Target("none")) +
                    Key("Runtime JAWS", "1", Target("old")) + Key("Eloquence", "x", Target("new"));
  RunResult run = RunWith(reg, "VB=0\r\n");
  EXPECT_TRUE(StoppedWith(run, StopsAt("new/libeci.so")));
  EXPECT_EQ(folder_.Read("narravox.INI"),
            "VB=0\r\nECIDLL=" + folder_.File("new/libeci.so") + "\r\n");
}

TEST_F(Registry, ExpandableStringsAreReadAsStored) {
  // "Target" as hex(2): UTF-16LE text of the folder, with its final NUL.
  std::string path = folder_.File("old");
  std::string hex;
  for (char c : path) {
    char byte[8];
    snprintf(byte, sizeof byte, "%02x,00,", static_cast<unsigned char>(c));
    hex += byte;
  }
  std::string reg =
      "Windows Registry Editor Version 5.00\r\n\r\n" +
      Key("JAWS", "1",
          "\"Target\"=hex(2):" + hex.substr(0, 30) + "\\\r\n  " + hex.substr(30) + "00,00");
  RunResult run = RunWith(reg, "VB=0\r\n");
  EXPECT_TRUE(StoppedWith(run, StopsAt("old/libeci.so")));
  EXPECT_EQ(folder_.Read("narravox.INI"), "VB=0\r\nECIDLL=" + path + "/libeci.so\r\n");
}

TEST_F(Registry, TargetOfAnotherKindStopsTheRun) {
  std::string reg = "REGEDIT4\r\n" + Key("JAWS", "1", "\"Target\"=dword:00000001");
  RunResult run = RunWith(reg, "VB=0\r\n");
  EXPECT_TRUE(StoppedWith(run, "Invalid data type for 'Target'"));
  EXPECT_EQ(run.exitCode, 2);
}

TEST_F(Registry, NothingFoundAsksForTheSetupCommand) {
  RunResult run = RunWith("REGEDIT4\r\n" + Key("JAWS", "1", Target("none")), "VB=0\r\n");
  EXPECT_NE(run.errors.find("* ERRORE: Impossibile trovare la libreria della sintesi vocale"),
            std::string::npos);
  EXPECT_EQ(folder_.Read("narravox.INI"), "VB=0\r\n");
}

}  // namespace
