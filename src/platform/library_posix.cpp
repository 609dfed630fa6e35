#include "platform/library.h"

#include <dlfcn.h>
#include <cerrno>

namespace platform {

LibraryHandle LoadLibrary(const std::string& path) {
  // Libraries are loaded by path, never searched for: dlopen would look for
  // a name without a slash in the system's library folders.
  if (path.find('/') == std::string::npos) {
    errno = ENOENT;
    return nullptr;
  }
  return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* LibrarySymbol(LibraryHandle library, const std::string& name) {
  return dlsym(library, name.c_str());
}

void FreeLibrary(LibraryHandle library) { dlclose(library); }

}  // namespace platform
