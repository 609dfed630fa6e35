#include "platform/console.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

#include "text/accents.h"
#include "text/ascii.h"
#include "text/lines.h"

namespace platform {

bool OutputIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

namespace {

// The titles pushed on the terminal's title stack and not yet popped.
std::atomic<int> g_titlePushes{0};
// A line written in place stands on the terminal, to be cleared.
std::atomic<bool> g_lineInPlace{false};

// What clears a line written in place, if one stands.
const char* ClearLineInPlace() { return g_lineInPlace.exchange(false) ? "\r\x1b[K" : ""; }

bool WriteRaw(const std::string& text, FILE* stream = stdout) {
  if (!text.empty() && std::fwrite(text.data(), 1, text.size(), stream) != text.size())
    return false;
  return std::fflush(stream) == 0;
}

// Whether the locale's character set is UTF-8, from the variables that name
// it, in the order in which they prevail.
bool LocaleIsUtf8() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(name);
    if (!value || !*value) continue;
    std::string locale = LowerAscii(value);
    return locale.find("utf-8") != std::string::npos || locale.find("utf8") != std::string::npos;
  }
  return false;
}

// The messages write accents as apostrophes ("e'"); a UTF-8 terminal shows,
// and a screen reader says, the accented letters.
std::string Localised(const std::string& text) {
  return LocaleIsUtf8() ? text::WithAccents(text) : text;
}

// The columns a line takes: its characters, not its UTF-8 bytes.
size_t Columns(const std::string& line) {
  size_t n = 0;
  for (char c : line) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

std::string WithLineFeeds(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

void PushTitle() {
  WriteRaw("\x1b[22;0t");
  ++g_titlePushes;
}

// A message box drawn as a framed block of text on the console.
void DrawBox(const std::string& text, const std::string& caption, FILE* stream) {
  std::vector<std::string> lines = text::SplitLines(Localised(text));
  size_t width = Columns(caption);
  for (const std::string& line : lines) width = std::max(width, Columns(line));
  std::string rule = "+" + std::string(width + 2, '-') + "+\n";
  std::string box = rule + "| " + caption + std::string(width - Columns(caption), ' ') +
                    " |\n" + rule;
  for (const std::string& line : lines)
    box += "| " + line + std::string(width - Columns(line), ' ') + " |\n";
  box += rule;
  WriteRaw(box, stream);
}

}  // namespace

bool ConsoleWrite(const std::string& text) {
  return WriteRaw(ClearLineInPlace() + WithLineFeeds(Localised(text)));
}

bool ConsoleWriteInPlace(const std::string& text) {
  if (!OutputIsTerminal()) return ConsoleWrite(text + "\n");
  const bool written = WriteRaw("\r\x1b[K" + Localised(text));
  g_lineInPlace = true;
  return written;
}

bool ConsoleWriteError(const std::string& text) {
  // The line in place stands on the terminal that standard error shares.
  const char* clear = isatty(STDERR_FILENO) == 1 ? ClearLineInPlace() : "";
  return WriteRaw(clear + WithLineFeeds(Localised(text)), stderr);
}

ReadResult ConsoleReadLine(std::string* line) {
  line->clear();
  int c;
  while ((c = std::fgetc(stdin)) != EOF && c != '\n') line->push_back(static_cast<char>(c));
  if (c == EOF) {
    if (std::ferror(stdin)) return ReadResult::Failure;
    if (line->empty()) return ReadResult::EndOfInput;
  }
  if (!line->empty() && line->back() == '\r') line->pop_back();
  return ReadResult::Line;
}

// The terminal's own title is pushed before the program's first title, so
// that GiveBackConsoleTitle can pop it back.
void SetConsoleTitle(const std::string& title) {
  if (!OutputIsTerminal()) return;
  if (g_titlePushes == 0) PushTitle();
  WriteRaw("\x1b]0;" + title + "\x07");
}

std::string SaveConsoleTitle() {
  if (OutputIsTerminal()) PushTitle();
  return std::string();
}

void RestoreConsoleTitle(const std::string&) {
  if (!OutputIsTerminal() || g_titlePushes == 0) return;
  WriteRaw("\x1b[23;0t");
  --g_titlePushes;
}

void GiveBackConsoleTitle() {
  while (g_titlePushes > 0) RestoreConsoleTitle(std::string());
}

bool ShowMessageBox(const std::string& text, const std::string& caption,
                    MessageBoxKind kind) {
  DrawBox(text, caption, kind == MessageBoxKind::Error ? stderr : stdout);
  std::string answer;
  if (kind != MessageBoxKind::YesNoQuestion) {
    if (isatty(STDIN_FILENO) == 1) {
      WriteRaw("[Invio] OK\n");
      ConsoleReadLine(&answer);
    }
    return true;
  }
  for (;;) {
    WriteRaw(Localised("[S] Si'   [N] No\n"));
    if (ConsoleReadLine(&answer) != ReadResult::Line) return false;
    YesNoAnswer reply = ParseYesNoAnswer(answer);
    if (reply != YesNoAnswer::Other) return reply == YesNoAnswer::Yes;
  }
}

}  // namespace platform
