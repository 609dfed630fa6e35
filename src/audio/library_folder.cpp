#include "audio/library_folder.h"

#include "base/errors.h"
#include "base/messages.h"
#include "base/settings.h"
#include "platform/files.h"
#include "platform/platform.h"

TInLibraryFolder::TInLibraryFolder() : library_(platform::FullPath(Settings.ECIDLL)) {
  const size_t slash = Settings.ECIDLL.rfind(platform::kPathSeparator);
  if (slash == std::string::npos) return;
  const std::string saved = platform::CurrentDirectory();
  if (!platform::SetCurrentDirectory(Settings.ECIDLL.substr(0, slash + 1)))
    RaiseErrorWithCode(msg::kLibraryFolderNotFound, library_, -1);
  saved_ = saved;
}

TInLibraryFolder::~TInLibraryFolder() {
  if (!saved_.empty()) platform::SetCurrentDirectory(saved_);
}
