#include "platform/platform.h"

#include <windows.h>

namespace platform {

int LastErrorCode() { return static_cast<int>(GetLastError()); }

void SetLastErrorCode(int code) { SetLastError(static_cast<DWORD>(code)); }

std::string SystemErrorText(int code) {
  char* buffer = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
          FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  if (length == 0 || !buffer)
    return std::string("Errore di sistema ") + std::to_string(code) + ".";
  std::string text(buffer, length);
  LocalFree(buffer);
  // The system's texts end with a line end of their own.
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
    text.pop_back();
  return text;
}

std::string ErrorCodeReason(int) { return std::string(); }

std::string EnvironmentVariable(const std::string& name) {
  char buffer[1024];
  DWORD length = GetEnvironmentVariableA(name.c_str(), buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return std::string();
  return std::string(buffer, length);
}

std::string HomeFolder() { return EnvironmentVariable("USERPROFILE"); }

std::string ProgramPath() {
  char buffer[MAX_PATH + 1];
  DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return std::string();
  return std::string(buffer, length);
}

uint32_t TickCount() { return GetTickCount(); }

}  // namespace platform
