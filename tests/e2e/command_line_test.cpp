// The informational stops, the option errors and the order of set-up, as the
// user sees them on the console.
#include <gtest/gtest.h>
#include <unistd.h>

#include <map>

#include "run_program.h"

namespace {

TEST(CommandLine, NoArgumentPrintsTheHintWithoutConfiguration) {
  ProgramFolder folder(false);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, std::vector<std::string>{""}}) {
    RunResult run = folder.Run(args);
    EXPECT_EQ(run.output, std::string(kBannerLines) +
                              "Digitare narravox --help per visualizzare la sintassi del comando\n");
    EXPECT_EQ(run.exitCode, 1);
  }
}

TEST(CommandLine, HelpIsPrintedExactly) {
  ProgramFolder folder(false);
  RunResult run = folder.Run({"/?"});
  EXPECT_EQ(run.exitCode, 1);
  std::string expected =
      std::string(kBannerLines) +
      "Formato del comando: narravox [opzioni] file[.TXT]|@file[.LST] [file [...]]\n"
      "(per i nomi dei file sono ammessi anche i caratteri jolly * e ?)\n"
      "Opzioni ammesse:\n"
      "/D=dir     cartella di destinazione delle sottocartelle per i file MP3\n"
      "/T=A|D|W   tipo testi Dos o Windows\n"
      "/G=N|n     numero massimo di file per gruppo (n=5=50)\n"
      "/RG=S|N    riunisce le cartelle dei gruppi\n"
      "/F=n       dimensione in K dei frammenti\n"
      "/RF=testo  testo riga frammentazione manuale\n"
      "/NF=testo  stringa da anteporre al nome del file\n"
      "/IC=S|N    identificatori cartella\n"
      "/CR=S|N    identificatori cartella per Archos RockBox\n"
      "/TI=S|N    impostazione dei titoli nei frammenti\n"
      "/L=id      lingua (id=IT,UK,FR,SP,DE,PB,US)\n"
      "/V=n       voce (n=0-8)\n"
      "/VE=n      velocita' di sintesi (n=70-1297)\n"
      "/TO=n      tonalita' di sintesi (n=70-422)\n"
      "/VO=n      volume (n=1-100)\n"
      "/PT=n      pausa di silenzio in testa al file MP3 (n=0-5000)\n"
      "/PC=n      pausa di silenzio in coda al file MP3 (n=0-5000)\n"
      "/SA=8|11   sampling rate di uscita sintesi\n"
      "/RS=S|N|n  resampling del flusso MP3 (n=8,11,12,16,22,32,44,48)\n"
      "/BR=n      bitrate compressione MP3 (8,16,32,48,64,96,128)\n"
      "/I3=S|N    accoda ID3Tag V1\n"
      "/P=0|1     priorita' del processo (0-bassa, 1=normale)\n"
      "/VB=n      livello di verbosita' (0-3)\n"
      "/CC=S|N    conferma cancellazione\n"
      "/AF=S|N    avvisi in finestra\n"
      "/MF=S|N    minimizzazione finestra\n"
      "/TEST      non genera i file ma vocalizza\n"
      "/R         riprende l'ultima conversione interrotta\n"
      "Comando per l'impostazione della sintesi ECI:\n"
      "narravox /ECISETUP=file|dir\n";
  EXPECT_EQ(run.output, expected);
}

TEST(CommandLine, HelpAndVersionAskedTheLinuxWayEndWithZero) {
  ProgramFolder folder(false);
  const std::string shortHelp = folder.Run({"/?"}).output;
  ASSERT_NE(shortHelp.find("Formato del comando"), std::string::npos);
  const std::string help = folder.Run({"--help"}).output;
  EXPECT_NE(help.find("Uso: narravox"), std::string::npos) << help;
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"-h"}, std::vector<std::string>{"/VB=1", "--help"}}) {
    RunResult run = folder.Run(args);
    EXPECT_EQ(run.output, help) << args.back();
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(run.exitCode, 0);
  }
  // The long help lists the settings the short one leaves out.
  EXPECT_NE(help.find("  /PA, /PARALLELI: "), std::string::npos) << help;
  RunResult version = folder.Run({"--version"});
  EXPECT_EQ(version.output, "Narravox 1.06f - conversione di testi in file MP3 parlati\n");
  EXPECT_EQ(version.exitCode, 0);
}

// A full path begins with "/" as an option does: the key after the "/" tells
// them apart, and a second "/" or an existing file makes a file argument.
TEST(CommandLine, FullPathsAndPatternsAreFilesWhereOptionsMayStand) {
  ProgramFolder folder(false);
  // The run stops as it speaks its first file, with its RecoveryFile written.
  folder.Write("narravox.INI", std::string("VB=0\r\nPA=1\r\nECIDLL=") + FAKE_ECI_LIBRARY +
                                   "\r\nMP3DLL=" + FAKE_ENC_LIBRARY + "\r\n");
  const std::map<std::string, std::string> stop = {{"NARRAVOX_FAKE_ECI_FAIL", "eciSynchronize:1"}};
  folder.MakeFolder("libri");
  folder.Write("libri/a.txt", "x");
  folder.Write("libri/b.txt", "x");
  const std::string a = folder.File("libri/a.txt"), b = folder.File("libri/b.txt");
  struct Case {
    std::vector<std::string> args;
    std::string texts;  // the texts of the JobList, one a line
  } cases[] = {
      {{a}, a + "::0::1\r\n"},
      {{folder.File("libri/*.txt")}, a + "::0::1\r\n" + b + "\r\n"},
      {{"/vb=0", "/F=2", b, a}, b + "::0::1\r\n" + a + "\r\n"},
      {{"/D=" + folder.File("libri"), "--", a}, a + "::0::1\r\n"},
  };
  for (const Case& c : cases) {
    unlink(folder.File("narravox.dat").c_str());
    EXPECT_EQ(folder.Run(c.args, "", stop).exitCode, 1) << c.args[0];
    std::string recovery = folder.Read("narravox.dat");
    size_t texts = recovery.find("::0\r\n") + 5;
    EXPECT_EQ(recovery.substr(texts, recovery.find("[IMPOSTAZIONI]") - texts), c.texts)
        << c.args[0];
  }
  // Anything else that begins with "/" is still a mistyped option.
  for (const std::string& bad : std::vector<std::string>{"/X", "/VBB=1", "/tmp", "/nessuno.txt"})
    EXPECT_TRUE(StoppedWith(folder.Run({bad, a}), "Parametro non valido " + bad)) << bad;
  EXPECT_TRUE(StoppedWith(folder.Run({"--", "/VB=1"}),
                          "Impossibile trovare il file \"/VB=1\" (codice 2: file o cartella "
                          "inesistente)"));
  EXPECT_TRUE(StoppedWith(folder.Run({"/VB=1", "--"}),
                          "Nessun file di testo specificato nella riga comandi", kBannerLines));
}

TEST(CommandLine, OptionErrors) {
  ProgramFolder folder;
  folder.Write("narravox.INI", "");
  folder.Write("a.txt", "testo");
  struct Case {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"/ECISETUP=x", "y"}, "Parametro non valido y"},
      {{"/ecisetup="}, "Parametro non valido /ecisetup="},
      {{"/L=IT", "/ECISETUP=x", "a.txt"}, "Parametro non valido /ECISETUP=x"},
      {{"/X"}, "Parametro non valido /X"},
      {{"/VB=1", "/?"}, "Parametro non valido /?"},
      // A value refused says what the key takes (POSIX).
      {{"/F=0", "a.txt"}, "Parametro non valido /F=0: i frammenti vanno da 1 a 128 (KB)"},
      {{"/VE=50", "a.txt"},
       "Parametro non valido /VE=50: la velocita' va da 70 a 1297, o * per quella della sintesi"},
      {{"/gruppi=S", "a.txt"},
       "Parametro non valido /gruppi=S: i gruppi vanno da 5 a 50 file, o N per nessun gruppo"},
      {{"/BR=33", "a.txt"},
       "Parametro non valido /BR=33: il bitrate e' 8, 16, 32, 40, 48, 56, 64, 96 o 128 (kbit/s)"},
      {{"/PP=forse", "a.txt"}, "Parametro non valido /PP=forse: S o N"},
      {{"/TEST"}, "Nessun file di testo specificato nella riga comandi"},
      {{"/L=IT", "/VB=3"}, "Nessun file di testo specificato nella riga comandi"},
      {{"a.txt", "/D=x"}, "L'opzione /D=x viene dopo un file: le opzioni vanno prima dei file"},
      {{"/VB=0", "a.txt", "b.txt", "/r"},
       "L'opzione /r viene dopo un file: le opzioni vanno prima dei file"},
  };
  for (const Case& c : cases) {
    RunResult run = folder.Run(c.args);
    EXPECT_TRUE(StoppedWith(run, c.message, c.args[0] == "/VB=0" ? "" : kBannerLines))
        << c.args[0];
    EXPECT_EQ(run.exitCode, 2);  // before the conversion
  }
}

TEST(CommandLine, ConfigurationErrorNamesItsLine) {
  ProgramFolder folder;
  folder.Write("narravox.INI", "; commento\r\n[narravox]\r\n\r\nL=UK\r\n[Narravox]\r\n");
  RunResult run = folder.Run({"a.txt"});
  EXPECT_TRUE(StoppedWith(run, "Errore nel file di configurazione \"" + folder.File("narravox.INI") +
                                   "\", riga 5: manca il segno \"=\" (CHIAVE=valore)", kBannerLines));
  folder.Write("narravox.INI", "VB=1\r\nVOCI=2\r\nVE=50\r\n");
  EXPECT_TRUE(StoppedWith(folder.Run({"a.txt"}), "Errore nel file di configurazione \"" +
                                                     folder.File("narravox.INI") +
                                                     "\", riga 2: la chiave \"VOCI\" non esiste", kBannerLines));
  folder.Write("narravox.INI", "VB=1\r\nVE=50\r\n");
  EXPECT_TRUE(StoppedWith(folder.Run({"a.txt"}),
                          "Errore nel file di configurazione \"" + folder.File("narravox.INI") +
                              "\", riga 2: il valore \"50\" di VELOCITA non va bene: la velocita' "
                              "va da 70 a 1297, o * per quella della sintesi", kBannerLines));
  EXPECT_EQ(run.exitCode, 2);  // before the conversion
}

TEST(CommandLine, MessageBoxReplacesTheConsoleReport) {
  ProgramFolder folder;
  folder.Write("narravox.INI", "AF=S\r\n");
  // The option error comes before /TEST could clear the setting.
  RunResult run = folder.Run({"/TEST", "/BAD=1"});
  EXPECT_EQ(run.exitCode, 2);  // before the conversion
  // The box of an error is drawn on standard error.
  EXPECT_NE(run.errors.find("| Narravox - Errore"), std::string::npos) << run.errors;
  EXPECT_NE(run.errors.find("| Parametro non valido /BAD=1"), std::string::npos);
  EXPECT_EQ(run.errors.find("* ERRORE"), std::string::npos);
  EXPECT_EQ(run.output, "");
}

// After the first name, an option is pointed out before anything is done
// (a name that exists or a full path stays a name; after "--" everything is).
TEST(CommandLine, OptionsAfterTheFirstNameAreRefused) {
  ProgramFolder folder;
  folder.Write("narravox.INI", "");
  folder.Write("a.txt", "testo");
  RunResult run = folder.Run({"a.txt", "/VB=1"});
  EXPECT_TRUE(StoppedWith(run, "L'opzione /VB=1 viene dopo un file: le opzioni vanno prima dei file", kBannerLines));
  EXPECT_EQ(run.exitCode, 2);
  RunResult ended = folder.Run({"--", "a.txt", "/VB=1"});
  EXPECT_EQ(ended.errors.find(
                "* ERRORE: Impossibile trovare il file \"/VB=1\" (codice 2: file o cartella "
                "inesistente)\n* ERRORE: Impossibile caricare la libreria"),
            0u)
      << ended;
  RunResult empty = folder.Run({"/VB=1", ""});
  EXPECT_TRUE(StoppedWith(
      empty, "Impossibile trovare il file \"\" (codice 2: file o cartella inesistente)", kBannerLines));
}

TEST(CommandLine, EngineLibraryMissing) {
  ProgramFolder folder(false);
  folder.Write("narravox.INI", "ECIDLL=/nessuna/libeci.so\r\n");
  folder.Write("a.txt", "testo");
  RunResult run = folder.Run({"a.txt"});
  EXPECT_TRUE(StoppedWith(run,
                          "Impossibile trovare la libreria della sintesi vocale; per "
                          "indicarla: narravox /ECISETUP=file o narravox /ECISETUP=cartella", kBannerLines));
  EXPECT_EQ(run.exitCode, 2);  // before the conversion
}

}  // namespace
