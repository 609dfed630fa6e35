// The system's own code pages: OEM to ANSI and ANSI lower case.
#include "platform/charset.h"

#include <windows.h>

// The layer's own names, not the system's old aliases.
#undef OemToAnsi
#undef AnsiLower

namespace platform {

void OemToAnsi(char* text, size_t length) {
  // Same length in and out, so the text is converted where it lies.
  while (length > 0) {
    DWORD piece = static_cast<DWORD>(length < 0x40000000u ? length : 0x40000000u);
    OemToCharBuffA(text, text, piece);
    text += piece;
    length -= piece;
  }
}

void AnsiLower(char* text, size_t length) {
  while (length > 0) {
    DWORD piece = static_cast<DWORD>(length < 0x40000000u ? length : 0x40000000u);
    CharLowerBuffA(text, piece);
    text += piece;
    length -= piece;
  }
}

// File names are in the ANSI code page already.
std::string FileNameToAnsi(const std::string& name) { return name; }

std::string FileNameToUtf8(const std::string& name) {
  if (name.empty()) return name;
  int wide = MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(wide), L'\0');
  MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), &w[0], wide);
  int bytes = WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, &out[0], bytes, nullptr, nullptr);
  return out;
}

}  // namespace platform
