// The engine library is loaded from its own folder, which is the current
// directory meanwhile; a library named without a folder keeps the current
// one.
#pragma once

#include <string>

class TInLibraryFolder {
 public:
  // Goes to the folder of Settings.ECIDLL; raises when it cannot.
  TInLibraryFolder();
  // Goes back to the directory of the start. Never raises.
  ~TInLibraryFolder();
  TInLibraryFolder(const TInLibraryFolder&) = delete;
  TInLibraryFolder& operator=(const TInLibraryFolder&) = delete;

  // The library's full path.
  const std::string& Library() const { return library_; }

 private:
  const std::string library_;
  std::string saved_;  // empty when the directory did not change
};
