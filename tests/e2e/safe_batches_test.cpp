// Batches in which nothing of one text or one run destroys another: texts
// of one name, names made of dots, another run on the same text, the
// question about old files, the clean-up of old files, kept RecoveryFiles,
// names that only quoting keeps, and texts that cannot be converted.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "conversion_fixture.h"

namespace {

class SafeBatch : public Conversion {
 protected:
  // The lines of Tree() under prefix.
  std::string TreeUnder(const std::string& prefix) const {
    std::string tree = Tree(folder_), lines;
    for (size_t at = 0, end; (end = tree.find('\n', at)) != std::string::npos; at = end + 1)
      if (tree.compare(at, prefix.size(), prefix) == 0) lines += tree.substr(at, end - at + 1);
    return lines;
  }
  std::string Recovery(const std::vector<std::string>& texts) const {
    std::string text = "ATTENZIONE!!! Non modificare questo file.\r\n" + folder_.File("out/") +
                       "::16384::0\r\n";
    for (const std::string& t : texts) text += t + "\r\n";
    return text;
  }
  const std::map<std::string, std::string> kStopAtSecondFile = {
      {"NARRAVOX_FAKE_ECI_FAIL", "eciSynchronize:2"}};
};

TEST_F(SafeBatch, TextsOfOneNameGetFoldersOfTheirOwnThatResumeKeeps) {
  Configure("TI=N\r\n");
  for (const char* name : {"a", "b", "c"}) folder_.MakeFolder(name);
  folder_.Write("a/capitolo01.txt", "Primo.\n");
  folder_.Write("b/capitolo01.txt", "Secondo.\n");
  folder_.Write("Libro.txt", "Terzo.\n");
  folder_.Write("c/libro.TXT", "Quarto.\n");
  folder_.Write("t.txt", "Quinto.\n");
  folder_.MakeFolder("out");
  folder_.Write("out/t", "di un altro");
  const std::vector<std::string> texts = {"a/capitolo01.txt", "b/capitolo01.txt", "Libro.txt",
                                          "c/libro.TXT", "t.txt"};
  std::vector<std::string> args = {"/VB=0", "/PA=1"};
  args.insert(args.end(), texts.begin(), texts.end());
  // The run stops in the second text; "/R" finishes into the same folders.
  RunResult stopped = Convert(args, "", kStopAtSecondFile);
  EXPECT_EQ(stopped.exitCode, 1);
  EXPECT_EQ(stopped.errors.find(
                "* AVVISO: i testi \"" + folder_.File("a/capitolo01.txt") + "\" e \"" +
                folder_.File("b/capitolo01.txt") +
                "\" hanno lo stesso nome: i file del secondo vanno nella cartella \"" +
                folder_.File("out/capitolo01 (2)") + "\"\n"),
            0u)
      << stopped.errors;
  EXPECT_NE(stopped.errors.find("nella cartella \"" + folder_.File("out/libro (2)") + "\"\n"),
            std::string::npos);
  EXPECT_NE(stopped.errors.find("c'e' gia' il file \"" + folder_.File("out/t") + "\""),
            std::string::npos);
  EXPECT_NE(folder_.Read("narravox.dat")
                .find(folder_.File("b/capitolo01.txt") + "::0::1::>capitolo01 (2)\r\n"),
            std::string::npos);
  RunResult resumed = Convert({"/R", "/VB=0"});
  EXPECT_EQ(resumed.exitCode, 0) << resumed;
  EXPECT_EQ(Out("capitolo01/001.mp3"), "primo.\r\n");
  EXPECT_EQ(Out("capitolo01 (2)/001.mp3"), "secondo.\r\n");
  EXPECT_EQ(Out("Libro/001.mp3"), "terzo.\r\n");
  EXPECT_EQ(Out("libro (2)/001.mp3"), "quarto.\r\n");
  EXPECT_EQ(Out("t.mp3/001.mp3"), "quinto.\r\n");
  EXPECT_EQ(Out("t"), "di un altro");
}

TEST_F(SafeBatch, NamesOfDotsStayInsideTheDestination) {
  Configure("TI=N\r\nCC=N\r\n");
  folder_.Write("001.mp3", "del genitore");
  folder_.MakeFolder("out");
  folder_.Write("out/001.mp3", "della destinazione");
  folder_.Write("...txt", "Uno.\n");
  folder_.Write("..txt", "Due.\n");
  folder_.Write(".txt", "Tre.\n");
  RunResult run = Convert({"/VB=0", "...txt", "..txt", ".txt"});
  EXPECT_EQ(run.exitCode, 0) << run;
  EXPECT_EQ(Out("_...txt/001.mp3"), "uno.\r\n");
  EXPECT_EQ(Out("_..txt/001.mp3"), "due.\r\n");
  EXPECT_EQ(Out("_.txt/001.mp3"), "tre.\r\n");
  EXPECT_EQ(folder_.Read("001.mp3"), "del genitore");
  EXPECT_EQ(Out("001.mp3"), "della destinazione");
}

TEST_F(SafeBatch, TwoRunsOnOneTextNeverMixTheirFiles) {
  // A run takes about 0.5 s here, well beyond the largest start offset.
  const std::string lines = "F=1\r\nCC=N\r\n";
  const std::string text = Sentences(300);
  const std::string reference = Reference(lines, text);
  Configure(lines);
  folder_.Write("libro.txt", text);
  // A second copy of the program, with a RecoveryFile of its own, writing
  // into the same destination.
  ProgramFolder other(false);
  other.Write("narravox.INI", Configuration(lines + "D=" + folder_.File("out") + "\r\n"));
  const ProgramFolder* programs[2] = {&folder_, &other};
  std::mt19937 random(20);
  for (int round = 0; round < 20; ++round) {
    ASSERT_EQ(std::system(("rm -rf '" + folder_.File("out") + "'").c_str()), 0);
    if (random() % 2) std::swap(programs[0], programs[1]);
    int offset = static_cast<int>(random() % 100);
    int pids[2];
    for (int i = 0; i < 2; ++i) {
      pids[i] = programs[i]->Start({"/VB=0", folder_.File("libro.txt")}, "",
                                   {{"NARRAVOX_FAKE_ECI_FILL", "16"}});
      if (i == 0) std::this_thread::sleep_for(std::chrono::milliseconds(offset));
    }
    RunResult runs[2] = {programs[0]->Wait(pids[0]), programs[1]->Wait(pids[1])};
    // One converts; the other skips the text, naming the one that holds it.
    int winner = runs[0].exitCode == 0 ? 0 : 1;
    const RunResult& loser = runs[1 - winner];
    EXPECT_EQ(runs[winner].exitCode, 0) << "round " << round << ": " << runs[winner].errors;
    EXPECT_EQ(loser.exitCode, 1) << "round " << round;
    const std::string refusal = "* ERRORE: il testo \"" + folder_.File("libro.txt") +
                                "\" viene saltato: la sua cartella \"" + folder_.File("out/libro") +
                                "\" e' in uso da un'altra conversione";
    EXPECT_EQ(loser.errors.substr(0, refusal.size()), refusal) << "round " << round;
    // The holder is named once it has written its line into the lock file.
    const std::string holder = " (processo " + std::to_string(pids[winner]) + " dell'utente ";
    EXPECT_TRUE(loser.errors == refusal + "\n" ||
                loser.errors.compare(refusal.size(), holder.size(), holder) == 0)
        << loser.errors;
    EXPECT_EQ(Tree(folder_), reference) << "round " << round;
    EXPECT_FALSE(folder_.Exists("narravox.dat") || other.Exists("narravox.dat"));
  }
}

// A run of the program whose standard input stays open: it waits at a
// question until it is killed.
pid_t StartWaitingAtQuestions(const ProgramFolder& folder, const std::vector<std::string>& args,
                              int* input) {
  int ends[2];
  if (pipe(ends) != 0) return -1;
  pid_t pid = fork();
  if (pid == 0) {
    dup2(ends[0], 0);
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    if (chdir(folder.path().c_str()) != 0) _exit(127);
    setenv("HOME", folder.File("home").c_str(), 1);
    ExecProgram(folder.File("narravox"), args);
  }
  close(ends[0]);
  *input = ends[1];
  return pid;
}

TEST_F(SafeBatch, AnInterruptionAtTheQuestionLeavesTheQuestionToAsk) {
  Configure("TI=N\r\n");
  folder_.Write("libro.txt", "Nuovo.\n");
  folder_.MakeFolder("out");
  folder_.MakeFolder("out/libro");
  folder_.Write("out/libro/001.mp3", "vecchio 1");
  folder_.Write("out/libro/002.mp3", "vecchio 2");
  int input = -1;
  pid_t pid = StartWaitingAtQuestions(folder_, {"/VB=0", "libro.txt"}, &input);
  ASSERT_GT(pid, 0);
  // The folder is locked before the question is asked.
  for (int i = 0; i < 5000 && !OutExists("libro/.narravox.lock"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  close(input);
  EXPECT_FALSE(folder_.Exists("narravox.dat"));
  EXPECT_EQ(Out("libro/002.mp3"), "vecchio 2");

  // A batch killed at the question of its second text: "/R" asks it.
  folder_.Write("narravox.dat", Recovery({folder_.File("libro.txt")}));
  RunResult resumed = Convert({"/R", "/VB=0"}, "si\n");
  EXPECT_EQ(resumed.output, "Vuoi cancellare i file MP3 contenuti nella cartella \"" +
                                folder_.File("out/libro") + "\" (Si/No)?\n");
  EXPECT_EQ(resumed.exitCode, 0);
  EXPECT_EQ(Listing("out/libro"), "001.mp3\n");
  EXPECT_EQ(Out("libro/001.mp3"), "nuovo.\r\n");
}

TEST_F(SafeBatch, CleanUpTakesOnlyThisTextsFiles) {
  Configure("TI=N\r\nCC=N\r\nCR=S\r\nRG=S\r\nG=5\r\n");
  folder_.Write("Storia.txt", "Storia.\n");
  folder_.MakeFolder("out");
  // The text Storia10, whose files went into its group folders.
  folder_.MakeFolder("out/Storia10");
  folder_.MakeFolder("out/Storia10/01");
  folder_.Write("out/Storia10/_dirname.talk", "clip di Storia10");
  folder_.Write("out/Storia10/01/001.mp3", "Storia10 uno");
  // A sibling group folder of an earlier conversion of Storia, and its
  // files of four digits.
  folder_.MakeFolder("out/Storia02");
  folder_.Write("out/Storia02/007.mp3", "vecchio");
  folder_.Write("out/Storia02/_dirname.talk", "vecchio");
  folder_.MakeFolder("out/Storia");
  for (const char* name : {"1000.mp3", "1000.mp3.talk", "1234.mp3.parziale", "0999.mp3",
                           "nota.txt"})
    folder_.Write(std::string("out/Storia/") + name, "vecchio");
  const std::string other = TreeUnder("out/Storia10/");
  ASSERT_EQ(Convert({"/VB=0", "Storia.txt"}).exitCode, 0);
  EXPECT_EQ(TreeUnder("out/Storia10/"), other);
  EXPECT_FALSE(OutExists("Storia02"));
  EXPECT_EQ(Listing("out/Storia"), "001.mp3\n0999.mp3\n_dirname.talk\nnota.txt\n");

  // Numbers read from a RecoveryFile stay within what the text can give.
  for (const char* checkpoint : {"::-1::2147483640", "::5::2147483647", "::0::2"}) {
    folder_.Write("narravox.dat", Recovery({folder_.File("Storia.txt") + checkpoint}));
    const std::string before = Tree(folder_);
    EXPECT_TRUE(StoppedWith(Convert({"/R"}), "Errore nel file di ripristino", kBannerLines)) << checkpoint;
    EXPECT_EQ(Tree(folder_), before);
  }
}

TEST_F(SafeBatch, ARunThatMakesNoFileLeavesTheKeptRunsAlone) {
  Configure("TI=N\r\n");
  folder_.Write("libro.txt", "Libro.\n");
  folder_.Write("altro.txt", "Altro.\n");
  const std::string interrupted = Recovery({folder_.File("libro.txt") + "::0::1"});
  folder_.Write("narravox.dat", interrupted);
  folder_.Write("out", "un file, non una cartella");
  EXPECT_EQ(Convert({"/VB=0", "altro.txt"}).exitCode, 1);
  EXPECT_EQ(folder_.Read("narravox.dat"), interrupted);
  EXPECT_FALSE(folder_.Exists("narravox.dat.1"));

  // Runs kept earlier stay too: the new one takes the next free name.
  unlink(folder_.File("out").c_str());
  folder_.Write("narravox.dat.1", "tenuto prima");
  RunResult run = Convert({"/VB=0", "altro.txt"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.errors, KeptRecoveryWarning(folder_, folder_.File("libro.txt"), 2));
  EXPECT_EQ(folder_.Read("narravox.dat.1"), "tenuto prima");
  EXPECT_EQ(folder_.Read("narravox.dat.2"), interrupted);
}

TEST_F(SafeBatch, NamesWithSeparatorsAndLineBreaksResume) {
  const std::string lines = "TI=N\r\nRF=---\r\n";
  Configure(lines);
  folder_.Write("a::b.txt", "Uno.\n---\nDue.\n");
  folder_.Write("riga\nnuova.txt", "Tre.\n");
  RunResult stopped = Convert({"/VB=0", "/PA=1", "a::b.txt", "riga\nnuova.txt"}, "",
                              kStopAtSecondFile);
  ASSERT_EQ(stopped.exitCode, 1);
  EXPECT_NE(folder_.Read("narravox.dat").find("\"" + folder_.File("a::b.txt") + "\"::11::2\r\n\"" +
                                              folder_.File("riga\\nnuova.txt") + "\"\r\n"),
            std::string::npos)
      << folder_.Read("narravox.dat");
  RunResult resumed = Convert({"/R", "/VB=0"});
  EXPECT_EQ(resumed.exitCode, 0) << resumed;
  EXPECT_EQ(Out("a::b/002.mp3"), "due.\r\n");
  EXPECT_EQ(Out("riga\nnuova/001.mp3"), "tre.\r\n");
  EXPECT_FALSE(folder_.Exists("narravox.dat"));
}

TEST_F(SafeBatch, WhatIsNoTextFileIsSkippedWithoutWaiting) {
  Configure("TI=N\r\n");
  ASSERT_EQ(mkfifo(folder_.File("coda.txt").c_str(), 0644), 0);
  ASSERT_EQ(symlink("/dev/zero", folder_.File("zero.txt").c_str()), 0);
  folder_.MakeFolder("cartella.txt");
  folder_.Write("buono.txt", "Buono.\n");
  RunResult run = Convert({"/VB=0", "coda.txt", "zero.txt", "cartella.txt", "buono.txt"});
  EXPECT_EQ(run.exitCode, 1);
  const std::string device = "\" non e' un file ma un dispositivo, una pipe o un socket, e viene saltato\n";
  EXPECT_EQ(run.errors, "* ERRORE: \"" + folder_.File("coda.txt") + device + "* ERRORE: \"" +
                            folder_.File("zero.txt") + device + "* ERRORE: \"" +
                            folder_.File("cartella.txt") +
                            "\" e' una cartella, non un file di testo, e viene saltato\n");
  EXPECT_EQ(Listing("out"), "buono\n");

  // A text that becomes a FIFO while an earlier one converts.
  folder_.Write("libro.txt", Sentences(300));
  folder_.Write("secondo.txt", "Secondo.\n");
  int pid = folder_.Start({"/VB=0", "/F=1", "libro.txt", "secondo.txt"}, "",
                          {{"NARRAVOX_FAKE_ECI_FILL", "32"}});
  ASSERT_TRUE(folder_.AwaitFile(pid, "out/libro/" + Track(2))) << folder_.Stop(pid);
  unlink(folder_.File("secondo.txt").c_str());
  ASSERT_EQ(mkfifo(folder_.File("secondo.txt").c_str(), 0644), 0);
  run = folder_.Wait(pid);
  EXPECT_EQ(run.errors, "* ERRORE: \"" + folder_.File("secondo.txt") + device);
  EXPECT_EQ(run.exitCode, 1);
}

TEST_F(SafeBatch, ABatchGoesOnPastEachTextItCannotConvert) {
  Configure("TI=N\r\n");
  folder_.Write("vuoto.txt", "");
  folder_.Write("bianco.txt", "  \r\n\n\t\n");
  folder_.Write("rifiutato.txt", "Nuovo.\n");
  folder_.Write("senza risposta.txt", "Nuovo.\n");
  folder_.Write("buono.txt", "Buono.\n");
  folder_.MakeFolder("out");
  for (const char* name : {"rifiutato", "senza risposta"}) {
    folder_.MakeFolder(std::string("out/") + name);
    folder_.Write(std::string("out/") + name + "/001.mp3", "vecchio");
  }
  // "no" for the first question; the input ends before the second.
  RunResult run = Convert({"/VB=1", "manca.txt", "vuoto.txt", "bianco.txt", "rifiutato.txt",
                           "buono.txt", "senza risposta.txt"},
                          "no\n");
  EXPECT_EQ(run.exitCode, 1);
  auto kept = [&](const char* name) {
    return "* ERRORE: il testo \"" + folder_.File(std::string(name) + ".txt") +
           "\" viene saltato: i vecchi file MP3 della cartella \"" +
           folder_.File(std::string("out/") + name) + "\" non sono stati cancellati\n";
  };
  EXPECT_EQ(run.errors,
            "* ERRORE: Impossibile trovare il file \"manca.txt\" (codice 2: file o cartella "
            "inesistente)\n* ERRORE: il testo \"" +
                folder_.File("vuoto.txt") + "\" e' vuoto e viene saltato\n* ERRORE: il testo \"" +
                folder_.File("bianco.txt") + "\" e' vuoto e viene saltato\n" + kept("rifiutato") +
                kept("senza risposta"));
  std::string output = WithoutProgress(run.output);
  EXPECT_EQ(output.find("Interrotto"), std::string::npos) << output;
  EXPECT_NE(output.find("Conversione terminata; testi saltati: 5\n  \"manca.txt\"\n  \"" +
                        folder_.File("vuoto.txt") + "\"\n"),
            std::string::npos)
      << output;
  EXPECT_EQ(Listing("out"), "buono\nrifiutato\nsenza risposta\n");
  EXPECT_EQ(Out("rifiutato/001.mp3"), "vecchio");
  EXPECT_EQ(Out("buono/001.mp3"), "buono.\r\n");
  EXPECT_FALSE(folder_.Exists("narravox.dat"));
}

}  // namespace
