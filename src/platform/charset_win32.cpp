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

}  // namespace platform
