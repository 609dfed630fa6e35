// The console: standard output and input, the window title, message boxes.
#pragma once

#include <string>

namespace platform {

// Writes text to standard output as it stands and flushes it. On POSIX every
// CR LF in the text becomes a single LF.
bool ConsoleWrite(const std::string& text);

enum class ReadResult { Line, EndOfInput, Failure };
// Reads one line from standard input, without its line end.
ReadResult ConsoleReadLine(std::string* line);

// The console title. SaveConsoleTitle gives a value that RestoreConsoleTitle
// puts back.
void SetConsoleTitle(const std::string& title);
std::string SaveConsoleTitle();
void RestoreConsoleTitle(const std::string& saved);

enum class MessageBoxKind { YesNoQuestion, Error, Information };
// Shows a message box without owner window; true when Yes (or OK) closed it.
bool ShowMessageBox(const std::string& text, const std::string& caption,
                    MessageBoxKind kind);

}  // namespace platform
