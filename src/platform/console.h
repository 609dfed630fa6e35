// The console: standard output and input, the window title, message boxes.
#pragma once

#include <string>

namespace platform {

// Writes text to standard output as it stands and flushes it. On POSIX every
// CR LF in the text becomes a single LF, and in a UTF-8 locale the accents
// written as apostrophes outside double quotes become accented letters
// (text::WithAccents).
bool ConsoleWrite(const std::string& text);
// Writes an error or warning the same way: to standard error on POSIX, so
// that a redirected standard output does not hide it; to standard output on
// Windows.
bool ConsoleWriteError(const std::string& text);

// Whether standard output is a terminal (not a file or a pipe).
bool OutputIsTerminal();
// On a terminal, writes text over the current line, which the next write
// clears first; elsewhere writes it as a line of its own.
bool ConsoleWriteInPlace(const std::string& text);

enum class ReadResult { Line, EndOfInput, Failure };
// Reads one line from standard input, without its line end.
ReadResult ConsoleReadLine(std::string* line);

// The console title. SaveConsoleTitle gives a value that RestoreConsoleTitle
// puts back.
void SetConsoleTitle(const std::string& title);
std::string SaveConsoleTitle();
void RestoreConsoleTitle(const std::string& saved);
// Gives the terminal back the title it had before the program first set
// one, after a question or not; on POSIX only, and only when standard
// output is a terminal. Safe to call more than once and from the interrupt
// handler.
void GiveBackConsoleTitle();

enum class MessageBoxKind { YesNoQuestion, Error, Information };
// Shows a message box without owner window; true when Yes (or OK) closed it.
// On POSIX an error box is drawn on standard error.
bool ShowMessageBox(const std::string& text, const std::string& caption,
                    MessageBoxKind kind);

}  // namespace platform
