#include "base/prompts.h"

#include "base/settings.h"
#include "text/ascii.h"
#include "base/console_out.h"
#include "base/errors.h"
#include "base/messages.h"
#include "base/run_state.h"
#include "platform/console.h"
#include "platform/platform.h"

namespace {

bool AskOnConsole(const std::string& question) {
  for (;;) {
    if (!platform::ConsoleWrite(question + msg::kYesNoSuffix + "\r\n"))
      RaiseError(msg::kConsoleIoError);
    std::string answer;
    platform::ReadResult read = platform::ConsoleReadLine(&answer);
    if (read == platform::ReadResult::Failure) RaiseError(msg::kConsoleIoError);
    if (read == platform::ReadResult::EndOfInput) return false;
    YesNoAnswer reply = ParseYesNoAnswer(answer);
    if (reply != YesNoAnswer::Other) return reply == YesNoAnswer::Yes;
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
  // On POSIX the least verbose level prints the errors alone.
  const bool quiet = platform::kUnixConventions && Settings.VERBOSITA == 0;
  if (!RunState.BannerPrinted && !quiet) PrintBanner();
  PrintErrorLine(msg::kErrorPrefix + message);
}
