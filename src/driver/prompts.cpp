#include "driver/prompts.h"

#include "config/settings.h"
#include "driver/ascii.h"
#include "driver/console_out.h"
#include "driver/errors.h"
#include "driver/messages.h"
#include "driver/run_state.h"
#include "platform/console.h"

namespace {

bool AskOnConsole(const std::string& question) {
  for (;;) {
    if (!platform::ConsoleWrite(question + msg::kYesNoSuffix + "\r\n"))
      RaiseError(msg::kConsoleIoError);
    std::string answer;
    platform::ReadResult read = platform::ConsoleReadLine(&answer);
    if (read == platform::ReadResult::Failure) RaiseError(msg::kConsoleIoError);
    if (read == platform::ReadResult::EndOfInput) return false;
    answer = UpperAscii(answer);
    if (answer == msg::kYes || answer == msg::kYesLong) return true;
    if (answer == msg::kNo || answer == msg::kNoLong) return false;
  }
}

}  // namespace

bool AskYesNo(const std::string& question) {
  std::string savedTitle = platform::SaveConsoleTitle();
  platform::SetConsoleTitle(msg::kTitleQuestion);
  bool yes;
  try {
    if (Settings.AVVISIFINESTRA)
      yes = platform::ShowMessageBox(question + msg::kQuestionMark, msg::kTitleQuestion,
                                     platform::MessageBoxKind::YesNoQuestion);
    else
      yes = AskOnConsole(question);
  } catch (...) {
    platform::RestoreConsoleTitle(savedTitle);
    throw;
  }
  platform::RestoreConsoleTitle(savedTitle);
  return yes;
}

void ReportFatalError(const std::string& message) {
  platform::SetConsoleTitle(msg::kTitleError);
  if (Settings.AVVISIFINESTRA) {
    platform::ShowMessageBox(message, msg::kTitleError, platform::MessageBoxKind::Error);
    return;
  }
  if (!Run.BannerPrinted) PrintBanner();
  PrintLine(msg::kErrorPrefix + message);
}
