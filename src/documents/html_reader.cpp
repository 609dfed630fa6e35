#include "documents/readers.h"

namespace documents {
TDocument ReadHtml(const std::string&, const TReadOptions&) { throw EDocumentError("da fare"); }
}  // namespace documents
