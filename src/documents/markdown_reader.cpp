#include "documents/readers.h"

namespace documents {
TDocument ReadMarkdown(const std::string&, const TReadOptions&) { throw EDocumentError("da fare"); }
}  // namespace documents
