// The configuration file: the header rule, comments, and the line numbers of
// its errors.
#include <gtest/gtest.h>

#include "base/errors.h"
#include "base/file_names.h"
#include "base/settings.h"
#include "config/config_file.h"
#include "test_errors.h"
#include "text/lines.h"

namespace {

// Applies a file's text to fresh settings; returns the error, or "".
std::string Apply(const std::string& text) {
  EditableSettings() = TSettings();
  return ErrorOf([&] { ApplyConfigurationLines(text::SplitLines(text)); });
}

TEST(ConfigFile, HeaderIsOptionalAndComesFirst) {
  EXPECT_EQ(Apply(""), "");
  EXPECT_EQ(Apply("[Narravox]"), "");
  EXPECT_EQ(Apply("; commento\r\n\r\n  [narravox] \r\nL=UK\r\n"), "");
  EXPECT_EQ(Settings.LINGUA, 0x10001);
  EXPECT_EQ(Apply("L=UK\r\n[Narravox]\r\n"), "Errore nel file di configurazione, riga 2");
  EXPECT_EQ(Apply("[Narravox]\r\n[Narravox]\r\n"), "Errore nel file di configurazione, riga 2");
  EXPECT_EQ(Apply("[Altro]\r\n"), "Errore nel file di configurazione, riga 1");
}

TEST(ConfigFile, BlankLinesAndIndentedCommentsAreErrors) {
  EXPECT_EQ(Apply("L=IT\r\n   \r\n"), "Errore nel file di configurazione, riga 2");
  EXPECT_EQ(Apply(" ; commento\r\n"), "Errore nel file di configurazione, riga 1");
}

TEST(ConfigFile, LineNumbersCountEveryLineWhateverItsEnd) {
  EXPECT_EQ(Apply("[Narravox]\r;c\r\rVB=1\rVB=9\r"), "Errore nel file di configurazione, riga 5");
  EXPECT_EQ(Apply("[Narravox]\n;c\n\nVB=1\nVB=9\n"), "Errore nel file di configurazione, riga 5");
}

TEST(ConfigFile, LaterLineWinsAndAllKeyFormsWork) {
  EXPECT_EQ(Apply("LINGUA=UK\r\n L = fr \r\n/VB=1\r\n"), "");
  EXPECT_EQ(Settings.LINGUA, 0x30000);
  EXPECT_EQ(Settings.VERBOSITA, 1);
}

TEST(ConfigFile, MissingEngineLibraryLineEndsTheHeaderAllowance) {
  EXPECT_EQ(Apply("ECIDLL=/non/esiste.so\r\n[Narravox]\r\n"),
            "Errore nel file di configurazione, riga 2");
}

}  // namespace
