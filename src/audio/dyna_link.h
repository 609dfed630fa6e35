// Libraries loaded when one of their entry points is first needed, and
// entry points resolved by name. The caller owns the library handle.
#pragma once

#include <string>

#include "base/errors.h"
#include "platform/library.h"

// A library that cannot be loaded.
class EDLLoadLibError : public EError {
 public:
  using EError::EError;
};

// An entry point that a library does not export.
class EDLGetProcError : public EError {
 public:
  using EError::EError;
};

// Loads the library at path into library when it is not loaded yet, then
// returns the address of name in it; never null.
void* DLGetProc(const std::string& path, const std::string& name,
                platform::LibraryHandle& library);

// An entry point bound on first use: slot holds its address once found.
template <typename Proc>
Proc DLBind(Proc& slot, const std::string& path, const std::string& name,
            platform::LibraryHandle& library) {
  if (!slot) slot = reinterpret_cast<Proc>(DLGetProc(path, name, library));
  return slot;
}

// Unloads the library when it is loaded; the handle becomes null.
void DLFreeLib(platform::LibraryHandle& library);
