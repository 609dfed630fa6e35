// File names with default extensions, lines of text files, and the error
// messages that name files.
#include <gtest/gtest.h>

#include <unistd.h>
#include <utility>

#include "base/errors.h"
#include "base/file_names.h"
#include "test_errors.h"
#include "test_files.h"
#include "text/lines.h"

namespace {

class FileNames : public ::testing::Test {
 protected:
  // A test may work from inside the folder; leave it before it goes.
  void TearDown() override { ASSERT_EQ(chdir("/"), 0); }
  std::string Error(const std::string& name, const std::string& ext) {
    return ErrorOf([&] { ResolveFileName(name, ext); });
  }
  TempFolder folder_;
  const std::string& path_ = folder_.path();
};

TEST_F(FileNames, DefaultExtensionOnlyWhenThePathHasNoDot) {
  std::string book = folder_.Write("BOOK.TXT", "x");
  EXPECT_EQ(ResolveFileName(path_ + "/BOOK", ".TXT"), book);
  std::string plain = folder_.Write("BOOK", "x");
  EXPECT_EQ(ResolveFileName(path_ + "/BOOK", ".TXT"), plain);
  std::string lower = folder_.Write("list.lst", "x");
  EXPECT_EQ(ResolveFileName(path_ + "/list", ".LST"), lower);
  EXPECT_EQ(Error(path_ + "/list", ""), "Impossibile trovare il file \"" + path_ +
                                            "/list\" (codice 2: file o cartella inesistente)");
  folder_.MakeFolder("dir.d");
  folder_.Write("dir.d/A.TXT", "x");
  EXPECT_EQ(Error(path_ + "/dir.d/A", ".TXT"),
            "Impossibile trovare il file \"" + path_ +
                "/dir.d/A\" (codice 2: file o cartella inesistente)");
}

TEST_F(FileNames, AFolderComesAfterTheTextOfItsNameAndTheNameIsAsGiven) {
  ASSERT_EQ(chdir(path_.c_str()), 0);
  folder_.MakeFolder("sub");
  EXPECT_EQ(ResolveFileName("sub", ".TXT"), path_ + "/sub");
  folder_.Write("sub.TXT", "x");
  EXPECT_EQ(ResolveFileName("sub", ".TXT"), path_ + "/sub.TXT");
  EXPECT_EQ(Error("", ".TXT"),
            "Impossibile trovare il file \"\" (codice 2: file o cartella inesistente)");
  EXPECT_EQ(Error("100%s", ".TXT"),
            "Impossibile trovare il file \"100%s\" (codice 2: file o cartella inesistente)");
  folder_.Write("100%s.TXT", "x");
  EXPECT_EQ(ResolveFileName("100%s", ".TXT"), path_ + "/100%s.TXT");
}

TEST_F(FileNames, LoadTextListSplitsEveryLineEnd) {
  std::string file = folder_.Write("l.lst", std::string("a\r\nb\rc\n\nd\r\n\0e\r\n", 15));
  EXPECT_EQ(LoadTextList(file, ""), (std::vector<std::string>{"a", "b", "c", "", "d"}));
  EXPECT_EQ(text::SplitLines("x"), (std::vector<std::string>{"x"}));
  EXPECT_EQ(text::SplitLines("\r\n"), (std::vector<std::string>{""}));
  EXPECT_TRUE(text::SplitLines("").empty());
}

TEST(RaiseErrorWithCode, CodeSuffixAndPercentInNames) {
  EXPECT_EQ(
      ErrorOf(
          [] { RaiseErrorWithCode("Impossibile trovare il file \"%s\"", "C:\\T\\A%d.TXT", 2); }),
      "Impossibile trovare il file \"C:\\T\\A%d.TXT\" (codice 2: file o cartella inesistente)");
  EXPECT_EQ(ErrorOf([] { RaiseErrorWithCode("Errore \"%s\"", "x", 0); }), "Errore \"x\"");
}

TEST(RaiseErrorWithCode, TheCodesAUserMeetsComeWithAnItalianReason) {
  const std::pair<int, const char*> reasons[] = {
      {ENOENT, "file o cartella inesistente"},
      {EACCES, "accesso negato"},
      {EROFS, "il supporto e' protetto da scrittura"},
      {ENOSPC, "spazio insufficiente sul disco"},
      {EFBIG, "file troppo grande per il limite del sistema, ulimit -f"},
      {ENOTDIR, "una parte del percorso non e' una cartella"},
      {EISDIR, "il percorso indicato e' una cartella"},
      {ENAMETOOLONG, "nome del file troppo lungo"},
      {EMFILE, "troppi file aperti, limite ulimit -n"},
      {ENFILE, "troppi file aperti nel sistema"},
      {EAGAIN, "troppi processi o risorse del sistema esaurite, limite ulimit -u"},
      {ENOMEM, "memoria insufficiente"},
      {E2BIG, "elenco degli argomenti o dell'ambiente troppo lungo"},
  };
  for (const auto& [code, reason] : reasons) {
    try {
      RaiseErrorWithCode("Errore \"%s\"", "x", code);
    } catch (const EError& error) {
      EXPECT_EQ(error.message(),
                "Errore \"x\" (codice " + std::to_string(code) + ": " + reason + ")");
    }
  }
}

}  // namespace
