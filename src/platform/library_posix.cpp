#include "platform/library.h"

#include <dlfcn.h>

namespace platform {

LibraryHandle LoadLibrary(const std::string& path) {
  // A name without a slash is looked up in the current folder first, as
  // Windows does, then in the system's library folders.
  if (path.find('/') == std::string::npos) {
    if (void* local = dlopen(("./" + path).c_str(), RTLD_NOW | RTLD_LOCAL)) return local;
  }
  return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* LibrarySymbol(LibraryHandle library, const std::string& name) {
  return dlsym(library, name.c_str());
}

void FreeLibrary(LibraryHandle library) { dlclose(library); }

}  // namespace platform
