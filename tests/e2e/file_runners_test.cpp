// The two ways of making the MP3 files, one stream in this process and the
// worker processes, fail alike: the same lines on the console, the same
// exit code, the same files and RecoveryFile; and neither writes through a
// link that stands at an output name.
#include <sys/stat.h>
#include <unistd.h>

#include "conversion_fixture.h"

namespace {

struct TOutcome {
  RunResult run;
  std::string recovery;
  std::string tree;
};

class FileRunners : public Conversion {
 protected:
  static TOutcome RunWith(const std::string& option, const std::string& lines,
                          const std::string& text, const std::map<std::string, std::string>& env,
                          void (*prepare)(const ProgramFolder&), long sizeLimit);
};

// The outcome of one run with option, its folder prepared, and each file
// limited to sizeLimit bytes (0: none).
TOutcome FileRunners::RunWith(const std::string& option, const std::string& lines,
                              const std::string& text,
                              const std::map<std::string, std::string>& env,
                              void (*prepare)(const ProgramFolder&), long sizeLimit) {
  ProgramFolder folder(false);
  folder.Write("narravox.INI", Configuration(lines));
  folder.Write("libro.txt", text);
  if (prepare) prepare(folder);
  folder.LimitFileSize(sizeLimit);
  TOutcome outcome;
  outcome.run = folder.Run({"/VB=2", option, "libro.txt"}, "", env);
  outcome.run.output = WithoutProgress(outcome.run.output);
  // The folder's own name differs from run to run.
  for (std::string* text : {&outcome.run.output, &outcome.run.errors}) {
    for (size_t at; (at = text->find(folder.path())) != std::string::npos;)
      text->replace(at, folder.path().size(), "<cartella>");
  }
  outcome.recovery = folder.Exists("narravox.dat") ? folder.Read("narravox.dat") : "";
  for (size_t at; (at = outcome.recovery.find(folder.path())) != std::string::npos;)
    outcome.recovery.replace(at, folder.path().size(), "<cartella>");
  outcome.tree = Conversion::Tree(folder);
  return outcome;
}

TEST_F(FileRunners, FailuresGiveTheSameLinesFilesAndCheckpointsInBothModes) {
  // The fakes count their calls in each process: a failure injected at
  // the first call hits the first file of every process alike.
  const std::string three = "Uno.\n---\nDue.\n---\nTre.\n";
  const std::string shortThenLong = "Breve.\n---\n" + Sentences(70) + "---\nFine.\n";
  struct Case {
    const char* what;
    std::string lines, text;
    std::map<std::string, std::string> env;
    void (*prepare)(const ProgramFolder&);
    long sizeLimit;
    const char* message;
  } cases[] = {
      {"a folder where the second file goes", "RF=---\r\nI3=S\r\n", three, {},
       [](const ProgramFolder& folder) {
         for (const char* name : {"out", "out/libro", "out/libro/002.mp3"})
           mkdir(folder.File(name).c_str(), 0755);
       },
       0, "Impossibile creare il file \"<cartella>/out/libro/002.mp3\""},
      {"a full disk in the second file", "RF=---\r\nTI=N\r\n", shortThenLong, {}, nullptr, 1000,
       "Errore durante la scrittura del file \"<cartella>/out/libro/002.mp3\" (codice 27"},
      {"the engine stops", "RF=---\r\n", three, {{"NARRAVOX_FAKE_ECI_FAIL", "eciSynchronize:1"}},
       nullptr, 0, "injected failure of eciSynchronize (call 1)"},
      {"the encoder fails", "RF=---\r\nI3=V2\r\n", three,
       {{"NARRAVOX_FAKE_ENC_FAIL", "beEncodeChunk:1:7"}}, nullptr, 0,
       "Errore encoder MP3 (codice 7)"},
      {"a leftover of another run in the way", "RF=---\r\n", three, {},
       [](const ProgramFolder& folder) {
         // A folder is no leftover that the next run may delete.
         for (const char* name : {"out", "out/libro", "out/libro/001.mp3.parziale"})
           mkdir(folder.File(name).c_str(), 0755);
       },
       0, "Impossibile creare il file \"<cartella>/out/libro/001.mp3\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TOutcome one = RunWith("/PA=1", c.lines, c.text, c.env, c.prepare, c.sizeLimit);
    TOutcome two = RunWith("/PA=2", c.lines, c.text, c.env, c.prepare, c.sizeLimit);
    EXPECT_EQ(one.run.exitCode, 1);
    EXPECT_NE(one.run.errors.find(c.message), std::string::npos) << one.run;
    EXPECT_EQ(two.run.output, one.run.output);
    EXPECT_EQ(two.run.errors, one.run.errors);
    EXPECT_EQ(two.run.exitCode, one.run.exitCode);
    EXPECT_EQ(two.recovery, one.recovery);
    EXPECT_EQ(two.tree, one.tree);
    EXPECT_EQ(one.tree.find(".mp3.parziale "), std::string::npos) << one.tree;
  }
}

TEST_F(FileRunners, ALinkAtAnOutputNameIsReplacedNeverWrittenThrough) {
  for (const char* option : {"/PA=1", "/PA=2"}) {
    SCOPED_TRACE(option);
    ProgramFolder folder(false);
    folder.Write("narravox.INI", Configuration("RF=---\r\nIC=S\r\n"));
    folder.Write("libro.txt", "Uno.\n---\nDue.\n---\nTre.\n");
    folder.Write("altro.txt", "Il file di un altro.\n");
    RunResult failed = folder.Run({"/VB=0", option, "libro.txt"}, "",
                                  {{"NARRAVOX_FAKE_ECI_FAIL", "eciSynchronize:1"}});
    ASSERT_EQ(failed.exitCode, 1) << failed;
    // The resumed run makes every file and the folder clip again.
    for (const char* name : {"out/libro/002.mp3", "out/libro/000.mp3"}) {
      unlink(folder.File(name).c_str());
      ASSERT_EQ(symlink(folder.File("altro.txt").c_str(), folder.File(name).c_str()), 0);
    }
    RunResult resumed = folder.Run({"/VB=0", option, "/R"});
    ASSERT_EQ(resumed.exitCode, 0) << resumed;
    EXPECT_EQ(folder.Read("altro.txt"), "Il file di un altro.\n");
    for (const char* name : {"out/libro/002.mp3", "out/libro/000.mp3"}) {
      struct stat st;
      ASSERT_EQ(lstat(folder.File(name).c_str(), &st), 0) << name;
      EXPECT_TRUE(S_ISREG(st.st_mode)) << name;
    }
    EXPECT_EQ(folder.Read("out/libro/002.mp3"), "libro 2.\r\n\r\ndue.\r\n");
  }
}

}  // namespace
