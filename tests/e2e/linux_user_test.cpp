// The program as a Linux user meets it: the user's own configuration and
// RecoveryFile when none stands beside the program, the libraries found from
// an installed bin/, bit rates refused before any file, a text without
// extension in the destination, and the terminal title given back.
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <csignal>
#include <thread>

#include "conversion_fixture.h"
#include "test_files.h"

namespace {

using LinuxUser = Conversion;

const std::string kTitlePush = "\x1b[22;0t", kTitlePop = "\x1b[23;0t", kTitleSet = "\x1b]0;";

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = 0; (at = text.find(part, at)) != std::string::npos; at += part.size()) ++n;
  return n;
}

// The options that name the fake libraries, for runs without a configuration.
std::vector<std::string> FakeLibraries() {
  return {std::string("/ECIDLL=") + FAKE_ECI_LIBRARY, std::string("/MP3DLL=") + FAKE_ENC_LIBRARY,
          "/PC=0", "/P=NORMALE"};
}

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

TEST_F(LinuxUser, WithoutAConfigurationBesideTheProgramTheFilesAreTheUsers) {
  folder_.Write("libro.txt", Sentences(100));
  // No configuration anywhere: the built-in settings; the engine stops at
  // its third fragment and leaves the RecoveryFile in ~/.local/state.
  // One stream: the injected failure counts the calls of one process.
  RunResult failed = Convert(With(FakeLibraries(), {"/F=1", "/PA=1", "/VB=0", "libro.txt"}), "",
                             {{"NARRAVOX_FAKE_ECI_FAIL", "eciSynchronize:3"}});
  EXPECT_EQ(failed.exitCode, 1);
  EXPECT_EQ(failed.output, "");
  const std::string state = "home/.local/state/narravox/narravox.dat";
  EXPECT_NE(folder_.Read(state).find(folder_.File("libro.txt") + "::"), std::string::npos);
  EXPECT_FALSE(folder_.Exists("narravox.dat"));
  EXPECT_FALSE(folder_.Exists("narravox.INI"));
  RunResult resumed = Convert(With(FakeLibraries(), {"/R", "/VB=0"}));
  EXPECT_EQ(resumed.errors, "");
  EXPECT_EQ(resumed.exitCode, 0);
  EXPECT_FALSE(folder_.Exists(state));
  EXPECT_EQ(folder_.Read("libro/001.mp3").substr(0, 9), "libro 1.\r");

  // The XDG variables move both files; a relative one is ignored.
  folder_.MakeFolder("cfg");
  folder_.MakeFolder("cfg/narravox");
  folder_.Write("cfg/narravox/narravox.INI", Configuration("VB=0\r\nF=1\r\n"));
  const std::map<std::string, std::string> xdg = {{"XDG_CONFIG_HOME", folder_.File("cfg")},
                                                  {"XDG_STATE_HOME", folder_.File("st")},
                                                  {"NARRAVOX_FAKE_ECI_FAIL", "eciSynchronize:2"}};
  // One stream: the injected failure counts the calls of one process.
  RunResult moved = Convert({"/PA=1", "libro.txt"}, "s\n", xdg);
  EXPECT_EQ(moved.exitCode, 1);
  EXPECT_TRUE(folder_.Exists("st/narravox/narravox.dat"));
  RunResult relative = Convert(With(FakeLibraries(), {"/R"}), "", {{"XDG_STATE_HOME", "st"}});
  EXPECT_TRUE(StoppedWith(relative, "Il file di ripristino non esiste", kBannerLines));

  // A state folder that cannot be made stops the run before anything else.
  folder_.Write("file", "");
  RunResult blocked =
      Convert(With(FakeLibraries(), {"libro.txt"}), "", {{"XDG_STATE_HOME", folder_.File("file")}});
  EXPECT_TRUE(StoppedWith(blocked, "Impossibile creare la cartella \"" +
                                       folder_.File("file/narravox/") +
                                       "\" (codice 20: una parte del percorso non e' una "
                                       "cartella)", kBannerLines));
}

TEST_F(LinuxUser, InstalledTreeFindsItsLibrariesAndRecordsTheEngine) {
  // prefix/bin/narravox with prefix/lib/narravox/ holding the two libraries.
  for (const char* name : {"prefix", "prefix/bin", "prefix/lib", "prefix/lib/narravox"})
    folder_.MakeFolder(name);
  folder_.Write("prefix/bin/narravox", folder_.Read("narravox"));
  chmod(folder_.File("prefix/bin/narravox").c_str(), 0755);
  folder_.Write("prefix/lib/narravox/libeci.so", ReadFileBytes(FAKE_ECI_LIBRARY));
  folder_.Write("prefix/lib/narravox/liblame_enc.so", ReadFileBytes(FAKE_ENC_LIBRARY));
  folder_.UseProgram("prefix/bin/narravox");
  folder_.Write("libro.txt", "Un testo breve.\n");
  RunResult run = Convert({"/VB=1", "/PC=0", "libro.txt"});
  EXPECT_EQ(run.errors, "");
  EXPECT_EQ(run.exitCode, 0);
  const std::string ini = folder_.File("home/.config/narravox/narravox.INI");
  EXPECT_NE(run.output.find("Aggiornato il file di configurazione \"" + ini + "\""),
            std::string::npos)
      << run.output;
  EXPECT_NE(folder_.Read("home/.config/narravox/narravox.INI")
                .find("\r\nECIDLL=" + folder_.File("prefix/lib/narravox/libeci.so") + "\r\n"),
            std::string::npos);
  EXPECT_EQ(folder_.Read("libro/001.mp3"), "libro 1.\r\n\r\nUn testo breve.\r\n");
}

TEST_F(LinuxUser, BitRateTheFilesCannotHaveIsRefusedBeforeAnyFile) {
  Configure();
  folder_.Write("libro.txt", "Testo.\n");
  struct Case {
    std::vector<std::string> options;
    std::string message;
  } cases[] = {
      {{"/BR=96"},
       "Bitrate di 96 kbit/s non ammesso per file MP3 a 11025 Hz: a questa frequenza i bitrate "
       "vanno da 8 a 64 kbit/s; per 96 kbit/s usare /RS=22 o /RS=44"},
      {{"/BR=128", "/SA=8"},
       "Bitrate di 128 kbit/s non ammesso per file MP3 a 8000 Hz: a questa frequenza i bitrate "
       "vanno da 8 a 64 kbit/s; per 128 kbit/s usare /RS=22 o /RS=44"},
      {{"/BR=16", "/RS=S"},
       "Bitrate di 16 kbit/s non ammesso per file MP3 a 44100 Hz: a questa frequenza i bitrate "
       "vanno da 32 a 320 kbit/s; per 16 kbit/s usare /RS=22 o /RS=11"},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(StoppedWith(Convert(With(c.options, {"libro.txt"})), c.message, kBannerLines));
    EXPECT_FALSE(OutExists("libro"));
    EXPECT_FALSE(folder_.Exists("narravox.dat"));
  }
  ASSERT_EQ(Convert({"/BR=96", "/RS=22", "libro.txt"}).exitCode, 0);
  EXPECT_EQ(Out("libro/001.mp3"), "libro 1.\r\n\r\ntesto.\r\n");
}

TEST_F(LinuxUser, TextWithoutExtensionInTheDestinationGetsAFolderWithASuffix) {
  Configure("D=.\r\n");
  folder_.Write("capitolo", "Primo capitolo.\n");
  RunResult run = Convert({"/VB=0", "/G=5", "/F=1", "capitolo"});
  EXPECT_EQ(run.errors, "* AVVISO: nella destinazione c'e' gia' il file \"" + folder_.File("capitolo") +
                            "\": i file del testo \"" + folder_.File("capitolo") +
                            "\" vanno nella cartella \"" + folder_.File("capitolo.mp3") + "\"\n");
  EXPECT_EQ(run.exitCode, 0);
  // The spoken title keeps the text's own name.
  EXPECT_EQ(folder_.Read("capitolo.mp3/001.mp3"), "capitolo 1.\r\n\r\nprimo capitolo.\r\n");
  EXPECT_EQ(folder_.Read("capitolo"), "Primo capitolo.\n");
}

// Runs the program on a pseudo-terminal and returns all it wrote there;
// with interruptAt, Ctrl-C comes once that file exists.
std::string RunOnTerminal(const ProgramFolder& folder, const std::vector<std::string>& args,
                          const std::string& interruptAt = "") {
  int master = -1;
  pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
  if (pid == 0) {
    if (chdir(folder.path().c_str()) != 0) _exit(127);
    setenv("HOME", folder.File("home").c_str(), 1);
    setenv("NARRAVOX_FAKE_ECI_FILL", "32", 1);
    ExecProgram(folder.File("narravox"), args);
  }
  std::string screen;
  bool interrupted = interruptAt.empty();
  for (;;) {
    pollfd ready{master, POLLIN, 0};
    if (poll(&ready, 1, 10) > 0) {
      char buffer[4096];
      ssize_t n = read(master, buffer, sizeof buffer);
      if (n <= 0) break;
      screen.append(buffer, static_cast<size_t>(n));
    }
    if (!interrupted && PathExists(folder.File(interruptAt))) {
      kill(pid, SIGINT);
      interrupted = true;
    }
  }
  int status = 0;
  waitpid(pid, &status, 0);
  close(master);
  return screen;
}

TEST_F(LinuxUser, TerminalTitleIsGivenBackAtEveryEnd) {
  Configure("F=1\r\nVB=0\r\n");
  folder_.Write("libro.txt", Sentences(60));
  folder_.Write("grande.txt", Sentences(2000));
  const std::string ends[] = {
      RunOnTerminal(folder_, {"libro.txt"}),                         // normal end
      RunOnTerminal(folder_, {"/BR=96", "libro.txt"}),               // an error
      RunOnTerminal(folder_, {"grande.txt"}, "out/grande/003.mp3"),  // Ctrl-C
  };
  for (const std::string& screen : ends) {
    size_t pushes = Count(screen, kTitlePush);
    EXPECT_GE(pushes, 1u) << screen;
    EXPECT_EQ(Count(screen, kTitlePop), pushes) << screen;
    EXPECT_LT(screen.find(kTitlePush), screen.find(kTitleSet));
    EXPECT_GT(screen.rfind(kTitlePop), screen.rfind(kTitleSet));
  }
  EXPECT_NE(ends[2].find("Interrotto dall'utente"), std::string::npos) << ends[2];
  // Without a terminal nothing of the kind is written.
  RunResult plain = Convert({"/BR=96", "libro.txt"});
  EXPECT_EQ((plain.output + plain.errors).find('\x1b'), std::string::npos);
}

}  // namespace
