// The yes/no question on the console.
#include <gtest/gtest.h>

#include <cstdio>

#include "base/prompts.h"
#include "base/settings.h"
#include "test_files.h"

namespace {

// Answers the question with the given console input.
bool AskWithInput(const std::string& input) {
  TempFolder folder;
  EXPECT_TRUE(std::freopen(folder.Write("answer", input).c_str(), "r", stdin));
  EditableSettings() = TSettings();
  return AskYesNo("Vuoi cancellare i file MP3 contenuti nella cartella \"x\"");
}

TEST(AskYesNo, AnswersIgnoreCaseButNotBlanks) {
  EXPECT_TRUE(AskWithInput("s\n"));
  EXPECT_TRUE(AskWithInput("sI\n"));
  EXPECT_FALSE(AskWithInput("No\n"));
  EXPECT_FALSE(AskWithInput("n"));
  EXPECT_TRUE(AskWithInput(" si\nforse\n\nSi\n"));
  EXPECT_FALSE(AskWithInput("si \r\nN\r\n"));
}

TEST(AskYesNo, EndOfInputIsNo) {
  EXPECT_FALSE(AskWithInput(""));
  EXPECT_FALSE(AskWithInput("boh\n"));
}

}  // namespace
