// Dynamic libraries loaded at run time.
#pragma once

#include <string>

namespace platform {

using LibraryHandle = void*;

// Loads a library; nullptr on failure. On POSIX path must hold a "/": a
// bare name is refused, not searched for.
LibraryHandle LoadLibrary(const std::string& path);
// The address of an exported name; nullptr when it is missing.
void* LibrarySymbol(LibraryHandle library, const std::string& name);
void FreeLibrary(LibraryHandle library);

}  // namespace platform
