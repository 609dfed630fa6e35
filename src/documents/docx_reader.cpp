#include "documents/readers.h"

namespace documents {
TDocument ReadDocx(const std::string&, const TReadOptions&) { throw EDocumentError("da fare"); }
}  // namespace documents
