#include "documents/readers.h"

namespace documents {
TDocument ReadEpub(const std::string&, const TReadOptions&) { throw EDocumentError("da fare"); }
}  // namespace documents
