// The limits of the system and of other users: a file size limit ends the
// run with its Italian error instead of a signal, a portable copy shared by
// several users converts for each of them, and a busy RecoveryFile names
// the process that holds it.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "conversion_fixture.h"

namespace {

using SystemLimits = Conversion;

TEST_F(SystemLimits, FileSizeLimitEndsTheRunWithItsItalianError) {
  Configure("TI=N\r\n");
  folder_.Write("libro.txt", Sentences(70));
  // The worker processes and one stream in this process alike.
  folder_.LimitFileSize(1000);
  for (const char* streams : {"/PA=2", "/PA=1"}) {
    RunResult run = Convert({"/VB=0", streams, "libro.txt"});
    EXPECT_TRUE(StoppedWith(run, "Errore durante la scrittura del file \"" +
                                     folder_.File("out/libro/001.mp3") +
                                     "\" (codice 27: file troppo grande per il limite del "
                                     "sistema, ulimit -f)"))
        << streams;
    EXPECT_EQ(Listing("out/libro"), "") << streams;
    EXPECT_EQ(unlink(folder_.File("narravox.dat").c_str()), 0) << streams;
  }
}

TEST_F(SystemLimits, PortableCopySharedByUsersConvertsForEachOfThem) {
  // The copy in a folder of its own; another user's lock file in it, left
  // by a run of theirs, which this user may read but not write.
  folder_.MakeFolder("comune");
  folder_.Write("comune/narravox", folder_.Read("narravox"));
  chmod(folder_.File("comune/narravox").c_str(), 0755);
  folder_.Write("comune/narravox.INI", Configuration(""));
  folder_.UseProgram("comune/narravox");
  const std::string lock = folder_.File("comune/narravox.dat.lock");
  folder_.Write("comune/narravox.dat.lock", "4242 primo portatile\n");
  chmod(lock.c_str(), 0444);
  if (geteuid() == 0) {  // root writes any file: the second user is nobody
    chmod(folder_.path().c_str(), 0777);
    chmod(folder_.File("comune").c_str(), 0777);
    folder_.RunAs(65534, 65534);
  }
  folder_.Write("libro.txt", "Un testo breve.\n");
  RunResult second = Convert({"/VB=0", "libro.txt"});
  EXPECT_EQ(second.errors, "");
  EXPECT_EQ(second.exitCode, 0);
  EXPECT_EQ(Out("libro/001.mp3"), "libro 1.\r\n\r\nun testo breve.\r\n");
  EXPECT_EQ(folder_.Read("comune/narravox.dat.lock"), "4242 primo portatile\n");
  EXPECT_FALSE(folder_.Exists("comune/narravox.dat"));

  // A folder this user may not write, without a lock file: the run stops
  // before it converts anything, and says why in Italian.
  ASSERT_EQ(unlink(lock.c_str()), 0);
  chmod(folder_.File("comune").c_str(), 0555);
  folder_.Write("altro.txt", "Altro.\n");
  RunResult refused = Convert({"/VB=0", "altro.txt"});
  EXPECT_TRUE(StoppedWith(refused, "Impossibile usare il file di ripristino \"" +
                                       folder_.File("comune/narravox.dat") + "\": la cartella \"" +
                                       folder_.File("comune/") +
                                       "\" non e' scrivibile (codice 13: accesso negato)"));
  EXPECT_FALSE(OutExists("altro"));
  chmod(folder_.File("comune").c_str(), 0755);
}

TEST_F(SystemLimits, BusyRecoveryFileNamesItsHolder) {
  Configure();
  folder_.Write("libro.txt", "Testo.\n");
  const std::string busy = "Un'altra conversione e' gia' in corso con il file di ripristino \"" +
                           folder_.File("narravox.dat") + "\"";
  // The conversion that another run holds cannot be resumed.
  folder_.Write("narravox.dat", "");
  int held = open(folder_.File("narravox.dat.lock").c_str(), O_RDWR | O_CREAT, 0644);
  ASSERT_GE(held, 0);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  pid_t ended = fork();
  if (ended == 0) _exit(0);
  waitpid(ended, nullptr, 0);
  char host[256] = "";
  gethostname(host, sizeof host - 1);
  const struct {
    std::string line, named;
  } holders[] = {
      {"12345 mario portatile\n", " (processo 12345 dell'utente mario su portatile)"},
      {"12345 mar", ""},  // the holder is still writing it
      // Of an ended process of this host: a holder that could only read
      // the file left the line of the one before it.
      {std::to_string(ended) + " mario " + host + "\n", ""},
      {"", ""},
  };
  for (const auto& holder : holders) {
    ASSERT_EQ(ftruncate(held, 0), 0);
    ASSERT_EQ(pwrite(held, holder.line.data(), holder.line.size(), 0),
              static_cast<ssize_t>(holder.line.size()));
    EXPECT_TRUE(StoppedWith(Convert({"/VB=0", "/R"}), busy + holder.named));
  }
  close(held);
  EXPECT_FALSE(OutExists("libro"));
}

}  // namespace
