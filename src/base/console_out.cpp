#include "base/console_out.h"

#include "base/messages.h"
#include "platform/console.h"

void PrintLine(const std::string& text) { platform::ConsoleWrite(text + "\r\n"); }

void PrintErrorLine(const std::string& text) { platform::ConsoleWriteError(text + "\r\n"); }

void PrintBanner() { PrintLine(msg::kBanner); }
