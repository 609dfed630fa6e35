#ifndef NARRAVOX_ECI_CP1252_H
#define NARRAVOX_ECI_CP1252_H

#include <string>

namespace eci {

// Appends the UTF-8 form of one Windows-1252 byte.
void AppendCp1252AsUtf8(unsigned char byte, std::string &out);

// Converts Windows-1252 text to UTF-8. The five codes that Windows-1252
// leaves undefined (0x81 0x8D 0x8F 0x90 0x9D) become spaces.
std::string Cp1252ToUtf8(const std::string &text);

}  // namespace eci

#endif
