// Output files are made whole or not at all: under a temporary name that
// is created new, never through a link, and renamed over the final name.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>

#include "audio/output_file.h"
#include "platform/files.h"
#include "test_files.h"

namespace {

class OutputFile : public ::testing::Test {
 protected:
  std::string File(const std::string& name) const { return folder_.path() + "/" + name; }
  bool IsLink(const std::string& name) const {
    struct stat st;
    return lstat(File(name).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
  }
  template <typename Operation>
  static std::string ErrorOf(Operation operation) {
    try {
      operation();
    } catch (const std::exception& error) {
      return error.what();
    }
    return "";
  }
  void Write(TOutputFile& file, const std::string& bytes) {
    ASSERT_TRUE(file.Write(bytes.data(), bytes.size()));
  }

  TempFolder folder_;
  TOutputFile file_;
};

TEST_F(OutputFile, NothingIsUnderTheFinalNameUntilTheFileIsWhole) {
  const std::string path = File("001.mp3");
  MakeOutputFile(file_, path, [&] {
    Write(file_, "prima ");
    EXPECT_FALSE(PathExists(path));
    EXPECT_EQ(ReadFileBytes(TemporaryName(path)), "prima ");
    Write(file_, "parte");
  });
  EXPECT_EQ(ReadFileBytes(path), "prima parte");
  EXPECT_FALSE(PathExists(TemporaryName(path)));

  // A failure while writing leaves the old file and no temporary one.
  EXPECT_EQ(ErrorOf([&] {
              MakeOutputFile(file_, path, [&] {
                Write(file_, "rotto");
                throw std::runtime_error("guasto");
              });
            }),
            "guasto");
  EXPECT_EQ(ReadFileBytes(path), "prima parte");
  EXPECT_FALSE(PathExists(TemporaryName(path)));
}

TEST_F(OutputFile, LinksAreReplacedNeverWrittenThrough) {
  folder_.Write("altro.txt", "di un altro");
  // A link at the final name is replaced by the file.
  ASSERT_EQ(symlink(File("altro.txt").c_str(), File("001.mp3").c_str()), 0);
  MakeOutputFile(file_, File("001.mp3"), [&] { Write(file_, "nuovo"); });
  EXPECT_FALSE(IsLink("001.mp3"));
  EXPECT_EQ(ReadFileBytes(File("001.mp3")), "nuovo");
  EXPECT_EQ(ReadFileBytes(File("altro.txt")), "di un altro");

  // A link, even a dangling one, at the temporary name is refused.
  for (const char* target : {"altro.txt", "nessuno.txt"}) {
    unlink(File("002.mp3.parziale").c_str());
    ASSERT_EQ(symlink(File(target).c_str(), File("002.mp3.parziale").c_str()), 0);
    EXPECT_EQ(ErrorOf([&] { MakeOutputFile(file_, File("002.mp3"), [] {}); }).rfind(
                  "Impossibile creare il file \"" + File("002.mp3") + "\" (codice 17", 0),
              0u)
        << target;
    EXPECT_EQ(ReadFileBytes(File("altro.txt")), "di un altro");
    EXPECT_TRUE(IsLink("002.mp3.parziale"));
    EXPECT_FALSE(PathExists(File("002.mp3")));
  }
}

TEST_F(OutputFile, AFolderAtTheFinalNameIsReportedBeforeAnythingIsWritten) {
  ASSERT_EQ(mkdir(File("001.mp3").c_str(), 0755), 0);
  bool written = false;
  EXPECT_EQ(ErrorOf([&] { MakeOutputFile(file_, File("001.mp3"), [&] { written = true; }); }),
            "Impossibile creare il file \"" + File("001.mp3") + "\" (codice 21: il percorso indicato e' una cartella)");
  EXPECT_FALSE(written);
  EXPECT_FALSE(PathExists(TemporaryName(File("001.mp3"))));
}

TEST_F(OutputFile, DiscardAndTheRecoveryFilesReplacement) {
  file_.Begin(File("001.mp3"));
  Write(file_, "mezzo");
  file_.Discard();
  EXPECT_FALSE(PathExists(File("001.mp3")));
  EXPECT_FALSE(PathExists(TemporaryName(File("001.mp3"))));
  EXPECT_FALSE(file_.Write("x", 1));

  // The recovery file: a temporary file left by a killed run is no
  // obstacle, and none stays.
  folder_.Write("narravox.dat", "vecchio");
  folder_.Write("narravox.dat.tmp", "resto di un'altra volta");
  ASSERT_TRUE(platform::ReplaceFileContent(File("narravox.dat"), "nuovo"));
  EXPECT_EQ(ReadFileBytes(File("narravox.dat")), "nuovo");
  EXPECT_FALSE(PathExists(File("narravox.dat.tmp")));
}

}  // namespace
