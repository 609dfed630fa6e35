// The informational stops, the option errors and the order of set-up, as the
// user sees them on the console.
#include <gtest/gtest.h>

#include "run_program.h"

namespace {

TEST(CommandLine, NoArgumentPrintsTheHintWithoutConfiguration) {
  ProgramFolder folder(false);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, std::vector<std::string>{""}}) {
    RunResult run = folder.Run(args);
    EXPECT_EQ(run.output, std::string(kBannerLines) +
                              "Digitare NARRAVOX /? per visualizzare la sintassi del comando\n");
    EXPECT_EQ(run.exitCode, 1);
  }
}

TEST(CommandLine, HelpIsPrintedExactly) {
  ProgramFolder folder(false);
  RunResult run = folder.Run({"/?"});
  EXPECT_EQ(run.exitCode, 1);
  std::string expected = std::string(kBannerLines) +
      "Formato del comando: NARRAVOX [opzioni] file[.TXT]|@file[.LST] [file [...]]\n"
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
      "NARRAVOX /ECISETUP=file|dir\n";
  EXPECT_EQ(run.output, expected);
}

TEST(CommandLine, MissingConfigurationFileStopsTheRun) {
  ProgramFolder folder;
  folder.Write("a.txt", "testo");
  RunResult run = folder.Run({"a.txt"});
  EXPECT_EQ(run.output,
            ErrorOutput("Impossibile trovare il file \"" + folder.File("narravox.INI") +
                        "\" (codice 2)"));
  EXPECT_EQ(run.exitCode, 1);
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
      {{"/F=0", "a.txt"}, "Parametro non valido /F=0"},
      {{"/TEST"}, "Nessun file di testo specificato nella riga comandi"},
      {{"/L=IT", "/VB=3"}, "Nessun file di testo specificato nella riga comandi"},
  };
  for (const Case& c : cases) {
    RunResult run = folder.Run(c.args);
    EXPECT_EQ(run.output, ErrorOutput(c.message)) << c.args[0];
    EXPECT_EQ(run.exitCode, 1);
  }
}

TEST(CommandLine, ConfigurationErrorNamesItsLine) {
  ProgramFolder folder;
  folder.Write("narravox.INI", "; commento\r\n[narravox]\r\n\r\nL=UK\r\n[Narravox]\r\n");
  RunResult run = folder.Run({"a.txt"});
  EXPECT_EQ(run.output, ErrorOutput("Errore nel file di configurazione, riga 5"));
  EXPECT_EQ(run.exitCode, 1);
}

TEST(CommandLine, MessageBoxReplacesTheConsoleReport) {
  ProgramFolder folder;
  folder.Write("narravox.INI", "AF=S\r\n");
  // The option error comes before /TEST could clear the setting.
  RunResult run = folder.Run({"/TEST", "/BAD=1"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("| Narravox - Errore"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("| Parametro non valido /BAD=1"), std::string::npos);
  EXPECT_EQ(run.output.find("* ERRORE"), std::string::npos);
}

TEST(CommandLine, ArgumentsAfterTheFirstNameAreNames) {
  ProgramFolder folder;
  folder.Write("narravox.INI", "");
  folder.Write("a.txt", "testo");
  RunResult run = folder.Run({"a.txt", "/VB=1"});
  EXPECT_EQ(run.output, ErrorOutput("Impossibile trovare il file \"/VB=1\" (codice 2)"));
  RunResult empty = folder.Run({"/VB=1", ""});
  EXPECT_EQ(empty.output, ErrorOutput("Impossibile trovare il file \"\" (codice 2)"));
}

TEST(CommandLine, EngineLibraryMissing) {
  ProgramFolder folder(false);
  folder.Write("narravox.INI", "ECIDLL=/nessuna/libeci.so\r\n");
  folder.Write("a.txt", "testo");
  RunResult run = folder.Run({"a.txt"});
  EXPECT_EQ(run.output,
            ErrorOutput("Impossibile trovare la DLL della sintesi vocale; digitare il comando\n"
                        "NARRAVOX /ECISETUP=nomefile o NARRAVOX /ECISETUP=cartella per "
                        "specificarne\nla posizione"));
  EXPECT_EQ(run.exitCode, 1);
}

}  // namespace
