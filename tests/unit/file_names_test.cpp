// File names with default extensions, lines of text files, and the error
// messages that name files.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <unistd.h>
#include <utility>

#include "base/errors.h"
#include "base/file_names.h"
#include "text/lines.h"

namespace {

class TempFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char templ[] = "/tmp/narravox-unit-XXXXXX";
    ASSERT_TRUE(mkdtemp(templ));
    path_ = templ;
  }
  void TearDown() override {
    ASSERT_EQ(chdir("/"), 0);
    std::string command = "rm -rf '" + path_ + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }
  std::string Make(const std::string& name, const std::string& content = "x") {
    std::ofstream(path_ + "/" + name) << content;
    return path_ + "/" + name;
  }
  std::string Error(const std::string& name, const std::string& ext) {
    try {
      ResolveFileName(name, ext);
    } catch (const EError& error) {
      return error.what();
    }
    return "";
  }
  std::string path_;
};

TEST_F(TempFolder, DefaultExtensionOnlyWhenThePathHasNoDot) {
  std::string book = Make("BOOK.TXT");
  EXPECT_EQ(ResolveFileName(path_ + "/BOOK", ".TXT"), book);
  std::string plain = Make("BOOK");
  EXPECT_EQ(ResolveFileName(path_ + "/BOOK", ".TXT"), plain);
  std::string lower = Make("list.lst");
  EXPECT_EQ(ResolveFileName(path_ + "/list", ".LST"), lower);
  EXPECT_EQ(Error(path_ + "/list", ""), "Impossibile trovare il file \"" + path_ +
                                            "/list\" (codice 2: file o cartella inesistente)");
  ASSERT_EQ(system(("mkdir '" + path_ + "/dir.d'").c_str()), 0);
  Make("dir.d/A.TXT");
  EXPECT_EQ(Error(path_ + "/dir.d/A", ".TXT"),
            "Impossibile trovare il file \"" + path_ +
                "/dir.d/A\" (codice 2: file o cartella inesistente)");
}

TEST_F(TempFolder, FolderCountsAsMissingAndTheNameIsAsGiven) {
  ASSERT_EQ(chdir(path_.c_str()), 0);
  ASSERT_EQ(system("mkdir sub"), 0);
  EXPECT_EQ(Error("sub", ".TXT"),
            "Impossibile trovare il file \"sub\" (codice 2: file o cartella inesistente)");
  EXPECT_EQ(Error("100%s", ".TXT"),
            "Impossibile trovare il file \"100%s\" (codice 2: file o cartella inesistente)");
  Make("100%s.TXT");
  EXPECT_EQ(ResolveFileName("100%s", ".TXT"), path_ + "/100%s.TXT");
}

TEST_F(TempFolder, LoadTextListSplitsEveryLineEnd) {
  std::string file = Make("l.lst", std::string("a\r\nb\rc\n\nd\r\n\0e\r\n", 15));
  EXPECT_EQ(LoadTextList(file, ""), (std::vector<std::string>{"a", "b", "c", "", "d"}));
  EXPECT_EQ(text::SplitLines("x"), (std::vector<std::string>{"x"}));
  EXPECT_EQ(text::SplitLines("\r\n"), (std::vector<std::string>{""}));
  EXPECT_TRUE(text::SplitLines("").empty());
}

TEST(RaiseErrorWithCode, CodeSuffixAndPercentInNames) {
  try {
    RaiseErrorWithCode("Impossibile trovare il file \"%s\"", "C:\\T\\A%d.TXT", 2);
  } catch (const EError& error) {
    EXPECT_STREQ(error.what(),
                 "Impossibile trovare il file \"C:\\T\\A%d.TXT\" (codice 2: file o cartella "
                 "inesistente)");
  }
  try {
    RaiseErrorWithCode("Errore \"%s\"", "x", 0);
  } catch (const EError& error) {
    EXPECT_STREQ(error.what(), "Errore \"x\"");
  }
}

TEST(RaiseErrorWithCode, TheCodesAUserMeetsComeWithAnItalianReason) {
  const std::pair<int, const char*> reasons[] = {
      {ENOENT, "file o cartella inesistente"},
      {EACCES, "accesso negato"},
      {EROFS, "il supporto e' protetto da scrittura"},
      {ENOSPC, "spazio insufficiente sul disco"},
      {EFBIG, "file troppo grande"},
      {ENOTDIR, "una parte del percorso non e' una cartella"},
      {EISDIR, "il percorso indicato e' una cartella"},
      {ENAMETOOLONG, "nome del file troppo lungo"},
      {EMFILE, "troppi file aperti"},
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
