#include "audio/dyna_link.h"

#include "base/messages.h"

void* DLGetProc(const std::string& path, const std::string& name,
                platform::LibraryHandle& library) {
  if (!library) {
    library = platform::LoadLibrary(path);
    // A failed load reports the value it returned, 0.
    if (!library) throw EDLLoadLibError(FormatText(msg::kLoadLibError, {path, "0"}));
  }
  void* address = platform::LibrarySymbol(library, name);
  if (!address) throw EDLGetProcError(FormatText(msg::kGetProcError, {name, path}));
  return address;
}

void DLFreeLib(platform::LibraryHandle& library) {
  if (!library) return;
  platform::FreeLibrary(library);
  library = nullptr;
}
