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

// "riga N" of an error about the file's line N; the message names the
// file and the problem too (POSIX), which the end-to-end tests check.
std::string LineOf(const std::string& error) {
  size_t at = error.find("riga ");
  if (error.rfind("Errore nel file di configurazione", 0) != 0 || at == std::string::npos) return error;
  size_t end = error.find_first_not_of("0123456789", at + 5);
  return error.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

TEST(ConfigFile, HeaderIsOptionalAndComesFirst) {
  EXPECT_EQ(Apply(""), "");
  EXPECT_EQ(Apply("[Narravox]"), "");
  EXPECT_EQ(Apply("; commento\r\n\r\n  [narravox] \r\nL=UK\r\n"), "");
  EXPECT_EQ(Settings.LINGUA, 0x10001);
  EXPECT_EQ(LineOf(Apply("L=UK\r\n[Narravox]\r\n")), "riga 2");
  EXPECT_EQ(LineOf(Apply("[Narravox]\r\n[Narravox]\r\n")), "riga 2");
  EXPECT_EQ(LineOf(Apply("[Altro]\r\n")), "riga 1");
}

TEST(ConfigFile, BlankLinesAndIndentedCommentsAreErrors) {
  EXPECT_EQ(LineOf(Apply("L=IT\r\n   \r\n")), "riga 2");
  EXPECT_EQ(LineOf(Apply(" ; commento\r\n")), "riga 1");
}

TEST(ConfigFile, LineNumbersCountEveryLineWhateverItsEnd) {
  EXPECT_EQ(LineOf(Apply("[Narravox]\r;c\r\rVB=1\rVB=9\r")), "riga 5");
  EXPECT_EQ(LineOf(Apply("[Narravox]\n;c\n\nVB=1\nVB=9\n")), "riga 5");
}

TEST(ConfigFile, LaterLineWinsAndAllKeyFormsWork) {
  EXPECT_EQ(Apply("LINGUA=UK\r\n L = fr \r\n/VB=1\r\n"), "");
  EXPECT_EQ(Settings.LINGUA, 0x30000);
  EXPECT_EQ(Settings.VERBOSITA, 1);
}

TEST(ConfigFile, MissingEngineLibraryLineEndsTheHeaderAllowance) {
  EXPECT_EQ(LineOf(Apply("ECIDLL=/non/esiste.so\r\n[Narravox]\r\n")), "riga 2");
}

}  // namespace
