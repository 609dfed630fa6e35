// The reason a document reader gives for what it refuses.
#pragma once

#include <functional>
#include <string>

#include "documents/document.h"

namespace documents {

// The EDocumentError's reason of action, "" when it raises none.
inline std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EDocumentError& error) {
    return error.what();
  }
  return "";
}

}  // namespace documents
