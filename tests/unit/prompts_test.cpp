// The yes/no question on the console.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

#include "base/settings.h"
#include "base/prompts.h"

namespace {

// Answers the question with the given console input.
bool AskWithInput(const std::string& input) {
  const std::string path = "/tmp/narravox-unit-answer-" + std::to_string(getpid());
  std::ofstream(path) << input;
  EXPECT_TRUE(std::freopen(path.c_str(), "r", stdin));
  EditableSettings() = TSettings();
  bool yes = AskYesNo("Vuoi cancellare i file MP3 contenuti nella cartella \"x\"");
  std::remove(path.c_str());
  return yes;
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
