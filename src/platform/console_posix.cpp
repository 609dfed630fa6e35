#include "platform/console.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <unistd.h>
#include <vector>

#include "text/ascii.h"
#include "text/lines.h"

namespace platform {

namespace {

bool OutputIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

// The titles pushed on the terminal's title stack and not yet popped.
std::atomic<int> g_titlePushes{0};

bool WriteRaw(const std::string& text, FILE* stream = stdout) {
  if (!text.empty() && std::fwrite(text.data(), 1, text.size(), stream) != text.size())
    return false;
  return std::fflush(stream) == 0;
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
  std::vector<std::string> lines = text::SplitLines(text);
  size_t width = caption.size();
  for (const std::string& line : lines) width = std::max(width, line.size());
  std::string rule = "+" + std::string(width + 2, '-') + "+\n";
  std::string box = rule + "| " + caption + std::string(width - caption.size(), ' ') +
                    " |\n" + rule;
  for (const std::string& line : lines)
    box += "| " + line + std::string(width - line.size(), ' ') + " |\n";
  box += rule;
  WriteRaw(box, stream);
}

}  // namespace

bool ConsoleWrite(const std::string& text) { return WriteRaw(WithLineFeeds(text)); }

bool ConsoleWriteError(const std::string& text) {
  return WriteRaw(WithLineFeeds(text), stderr);
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
    WriteRaw("[S] Si'   [N] No\n");
    if (ConsoleReadLine(&answer) != ReadResult::Line) return false;
    YesNoAnswer reply = ParseYesNoAnswer(answer);
    if (reply != YesNoAnswer::Other) return reply == YesNoAnswer::Yes;
  }
}

}  // namespace platform
