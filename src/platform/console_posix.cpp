#include "platform/console.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

#include "text/ascii.h"
#include "text/lines.h"

namespace platform {

namespace {

bool OutputIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

bool WriteRaw(const std::string& text) {
  if (!text.empty() && std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
    return false;
  return std::fflush(stdout) == 0;
}

// A message box drawn as a framed block of text on the console.
void DrawBox(const std::string& text, const std::string& caption) {
  std::vector<std::string> lines = text::SplitLines(text);
  size_t width = caption.size();
  for (const std::string& line : lines) width = std::max(width, line.size());
  std::string rule = "+" + std::string(width + 2, '-') + "+\n";
  std::string box = rule + "| " + caption + std::string(width - caption.size(), ' ') +
                    " |\n" + rule;
  for (const std::string& line : lines)
    box += "| " + line + std::string(width - line.size(), ' ') + " |\n";
  box += rule;
  WriteRaw(box);
}

}  // namespace

bool ConsoleWrite(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return WriteRaw(out);
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

void SetConsoleTitle(const std::string& title) {
  if (OutputIsTerminal()) WriteRaw("\x1b]0;" + title + "\x07");
}

std::string SaveConsoleTitle() {
  if (OutputIsTerminal()) WriteRaw("\x1b[22;0t");
  return std::string();
}

void RestoreConsoleTitle(const std::string&) {
  if (OutputIsTerminal()) WriteRaw("\x1b[23;0t");
}

bool ShowMessageBox(const std::string& text, const std::string& caption,
                    MessageBoxKind kind) {
  DrawBox(text, caption);
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
