#include "documents/readers.h"

namespace documents {
TDocument ReadOdt(const std::string&, const TReadOptions&) { throw EDocumentError("da fare"); }
}  // namespace documents
