// The readers of a build without libxml2 and libzip (the Windows build):
// web pages, EPUB, ODT and DOCX are refused with the reason.
#include "documents/read_document.h"
#include "documents/readers.h"

namespace documents {
namespace {

[[noreturn]] void Refuse(const char* kind) {
  throw EDocumentError(std::string("questa versione del programma non legge i documenti ") + kind +
                       ": salvarlo prima come testo");
}

}  // namespace

bool CanRead(TDocumentKind kind) {
  return kind == TDocumentKind::Text || kind == TDocumentKind::Markdown;
}

TDocument ReadHtml(const std::string&, const TReadOptions&) { Refuse("HTML"); }
TDocument ReadEpub(const std::string&, const TReadOptions&) { Refuse("EPUB"); }
TDocument ReadOdt(const std::string&, const TReadOptions&) { Refuse("ODT"); }
TDocument ReadDocx(const std::string&, const TReadOptions&) { Refuse("DOCX"); }

}  // namespace documents
