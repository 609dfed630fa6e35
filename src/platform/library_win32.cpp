#include "platform/library.h"

#include <windows.h>

#undef LoadLibrary

namespace platform {

LibraryHandle LoadLibrary(const std::string& path) {
  return reinterpret_cast<LibraryHandle>(LoadLibraryA(path.c_str()));
}

void* LibrarySymbol(LibraryHandle library, const std::string& name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name.c_str()));
}

void FreeLibrary(LibraryHandle library) { ::FreeLibrary(static_cast<HMODULE>(library)); }

}  // namespace platform
