// Console lines as the program prints them.
#pragma once

#include <string>

// Prints text followed by CR LF and flushes the console.
void PrintLine(const std::string& text);
// Prints an error or warning line the same way (standard error on POSIX).
void PrintErrorLine(const std::string& text);
// Prints the banner as one console line (an empty line follows it).
void PrintBanner();
