#include "platform/console.h"

#include <windows.h>

#undef SetConsoleTitle

namespace platform {

namespace {

// Bytes read from standard input that belong to the next lines.
std::string g_pendingInput;

}  // namespace

bool ConsoleWriteError(const std::string& text) { return ConsoleWrite(text); }

bool ConsoleWriteInPlace(const std::string& text) { return ConsoleWrite(text + "\r"); }

bool OutputIsTerminal() {
  DWORD mode;
  return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

bool ConsoleWrite(const std::string& text) {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  size_t done = 0;
  while (done < text.size()) {
    DWORD written = 0;
    if (!WriteFile(output, text.data() + done, static_cast<DWORD>(text.size() - done), &written,
                   nullptr) ||
        written == 0)
      return false;
    done += written;
  }
  return true;
}

ReadResult ConsoleReadLine(std::string* line) {
  line->clear();
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  for (;;) {
    size_t end = g_pendingInput.find('\n');
    if (end != std::string::npos) {
      *line = g_pendingInput.substr(0, end);
      g_pendingInput.erase(0, end + 1);
      break;
    }
    char buffer[512];
    DWORD got = 0;
    if (!ReadFile(input, buffer, sizeof buffer, &got, nullptr)) {
      // A pipe whose writer has gone is the end of the input.
      if (GetLastError() != ERROR_BROKEN_PIPE) return ReadResult::Failure;
      got = 0;
    }
    if (got == 0) {
      if (g_pendingInput.empty()) return ReadResult::EndOfInput;
      line->swap(g_pendingInput);
      g_pendingInput.clear();
      break;
    }
    g_pendingInput.append(buffer, got);
  }
  if (!line->empty() && line->back() == '\r') line->pop_back();
  return ReadResult::Line;
}

void SetConsoleTitle(const std::string& title) { SetConsoleTitleA(title.c_str()); }

std::string SaveConsoleTitle() {
  char buffer[512] = "";
  if (GetConsoleTitleA(buffer, sizeof buffer) == 0) return std::string();
  buffer[sizeof buffer - 1] = '\0';
  return buffer;
}

void RestoreConsoleTitle(const std::string& saved) { SetConsoleTitleA(saved.c_str()); }

void GiveBackConsoleTitle() {}

bool ShowMessageBox(const std::string& text, const std::string& caption,
                    MessageBoxKind kind) {
  UINT style = kind == MessageBoxKind::YesNoQuestion ? MB_ICONQUESTION | MB_YESNO
               : kind == MessageBoxKind::Error       ? MB_ICONERROR | MB_OK
                                                     : MB_ICONINFORMATION | MB_OK;
  int answer = MessageBoxA(nullptr, text.c_str(), caption.c_str(), style);
  return kind == MessageBoxKind::YesNoQuestion ? answer == IDYES : true;
}

}  // namespace platform
