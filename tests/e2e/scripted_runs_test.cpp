// What scripts and schedulers see of a run: its exit code, the result
// line of each text (RISULTATI), and runs started side by side over one
// list, as xargs -P starts them.
#include <signal.h>

#include <cstdlib>

#include "conversion_fixture.h"

namespace {

using ScriptedRuns = Conversion;

TEST_F(ScriptedRuns, ExitCodesTellWhatHappened) {
  Configure("CC=N\r\n");
  folder_.Write("a.txt", "Un testo.\n");
  folder_.Write("b.txt", Sentences(400));
  EXPECT_EQ(Convert({"/VB=0", "a.txt"}).exitCode, 0);
  EXPECT_EQ(Convert({"/VB=0", "a.txt", "assente.txt"}).exitCode, 1);  // a text skipped
  EXPECT_EQ(Convert({"/VB=0", "assente.txt"}).exitCode, 1);  // the only text is missing
  EXPECT_EQ(Convert({"/VB=0", "/VE=50", "a.txt"}).exitCode, 2);  // before the conversion
  EXPECT_EQ(Convert({"/R"}).exitCode, 2);                        // nothing to resume
  folder_.Write("narravox.INI", Configuration("CC=N\r\nFRAMMENTI=X\r\n"));
  EXPECT_EQ(Convert({"/VB=0", "a.txt"}).exitCode, 2);
  Configure("CC=N\r\nF=1\r\n");
  // Failed while converting: the disk is full.
  folder_.LimitFileSize(600);
  EXPECT_EQ(Convert({"/VB=0", "/PA=1", "b.txt"}).exitCode, 1);
  folder_.LimitFileSize(0);
  for (int signal : {SIGINT, SIGTERM}) {
    ASSERT_EQ(std::system(("rm -rf '" + folder_.File("out") + "'").c_str()), 0);
    int pid = folder_.Start({"/VB=0", "b.txt"}, "", {{"NARRAVOX_FAKE_ECI_FILL", "64"}});
    ASSERT_TRUE(folder_.AwaitFile(pid, "out/b/002.mp3"));
    kill(pid, signal);
    RunResult stopped = folder_.Wait(pid);
    EXPECT_EQ(stopped.exitCode, 128 + signal) << stopped;
    RunResult resumed = Convert({"/R", "/VB=0"});
    EXPECT_EQ(resumed.exitCode, 0) << resumed;
  }
}

// One line a text, valid JSON as a JSON reader takes it: converted texts
// with their folder, files and seconds of speech; a missing and a binary
// file skipped with their messages. Lines are appended, run after run.
TEST_F(ScriptedRuns, ResultLinesNameEveryText) {
  Configure("CC=N\r\nF=1\r\n");
  folder_.Write("uno.txt", Sentences(60));
  folder_.Write("Dvořák \"due\".txt", "Un testo breve.\n");
  folder_.Write("dati.txt", std::string("\x7f" "ELF\x02\x01\x01", 7) + std::string(100, '\0'));
  RunResult run = Convert({"/VB=0", "/RI=risultati/log.jsonl", "uno.txt", "assente.txt",
                           "dati.txt", "Dvořák \"due\".txt"});
  EXPECT_TRUE(StoppedWith(run, "Impossibile creare il file \"" +
                                   folder_.File("risultati/log.jsonl") +
                                   "\" (codice 2: file o cartella inesistente)"))
      << "a results file that cannot be made stops the run before any text";
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_FALSE(OutExists("uno"));

  run = Convert({"/VB=0", "/RI=log.jsonl", "uno.txt", "assente.txt", "dati.txt",
                 "Dvořák \"due\".txt"});
  EXPECT_EQ(run.exitCode, 1) << run;
  EXPECT_EQ(Convert({"/VB=0", "/RI=" + folder_.File("log.jsonl"), "uno.txt"}).exitCode, 0);
  const std::string out = folder_.File("out/");
  const std::string check =
      "cd '" + folder_.path() + "' && python3 - > checked.txt <<'PY'\n"
      "import json\n"
      "for line in open('log.jsonl', encoding='utf-8'):\n"
      "    r = json.loads(line)\n"
      "    assert set(r) == {'text', 'folder', 'files', 'seconds', 'status', 'message'}, r\n"
      "    print(r['text'].rsplit('/', 1)[-1], r['folder'].replace('" + out + "', ''), r['files'],\n"
      "          r['seconds'] > 0, r['status'], r['message'], sep='|')\n"
      "PY";
  ASSERT_EQ(std::system(check.c_str()), 0);
  EXPECT_EQ(folder_.Read("checked.txt"),
            "assente.txt||0|False|skipped|Impossibile trovare il file \"assente.txt\" (codice 2: "
            "file o cartella inesistente)\n"
            "uno.txt|uno|3|True|ok|\n"
            "dati.txt||0|False|skipped|il file \"" + folder_.File("dati.txt") +
            "\" non e' un file di testo (programma) e viene saltato\n"
            "Dvořák \"due\".txt|Dvořák \"due\"|1|True|ok|\n"
            "uno.txt|uno|3|True|ok|\n");
}

// "ls *.txt | xargs -P n -n 1 narravox": every run takes a RecoveryFile of
// its own, every text is converted once, and the tree is that of one run.
TEST_F(ScriptedRuns, XargsRunsSideBySideConvertEveryTextOnce) {
  ProgramFolder reference(false);
  reference.Write("narravox.INI", Configuration("CC=N\r\nF=1\r\nG=5\r\nIC=S\r\n"));
  std::string list;
  for (int i = 1; i <= 8; ++i) {
    const std::string name = "libro" + std::to_string(i) + ".txt";
    reference.Write(name, Sentences(20 * i));
    list += name + "\n";
  }
  reference.Write("elenco.lst", list);
  ASSERT_EQ(reference.Run({"/VB=0", "@elenco.lst"}).exitCode, 0);
  for (const char* runs : {"2", "4"}) {
    ProgramFolder folder(false);
    folder.Write("narravox.INI", Configuration("CC=N\r\nF=1\r\nG=5\r\nIC=S\r\n"));
    for (int i = 1; i <= 8; ++i)
      folder.Write("libro" + std::to_string(i) + ".txt", Sentences(20 * i));
    const std::string command = "cd '" + folder.path() +
                                "' && ls libro*.txt | NARRAVOX_FAKE_ECI_FILL=64 xargs -P" + runs +
                                " -n1 ./narravox /VB=0 /RI=log.jsonl > xargs.out 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << folder.Read("xargs.out");
    EXPECT_EQ(Tree(folder), Tree(reference)) << "-P" << runs;
    std::string log = folder.Read("log.jsonl");
    for (int i = 1; i <= 8; ++i) {
      const std::string text = "\"text\":\"" + folder.File("libro" + std::to_string(i) + ".txt");
      size_t at = log.find(text);
      EXPECT_NE(at, std::string::npos) << log;
      EXPECT_EQ(log.find(text, at + 1), std::string::npos) << "converted twice: " << log;
    }
    EXPECT_EQ(folder.Read("xargs.out").find("ERRORE"), std::string::npos) << folder.Read("xargs.out");
    EXPECT_FALSE(folder.Exists("narravox.dat"));
    EXPECT_FALSE(folder.Exists("narravox-2.dat"));
  }
}

}  // namespace
