// Reading a file's bytes as a document: which kind it is, told by its
// content, and its metadata and chapters.
#pragma once

#include <optional>
#include <string>

#include "documents/document.h"

namespace documents {

// The document kind of a file's content, or nothing for a plain text (and
// for whatever no reader takes). EPUB, ODT and DOCX are told by their ZIP
// entries, HTML and XHTML by their first markup, Markdown by its name
// (.md, .markdown) together with a heading or emphasis in its lines.
std::optional<TDocumentKind> RecogniseDocument(const std::string& content,
                                               const std::string& fileName);

// Whether this build reads documents of the kind (the Windows build may
// lack the XML and ZIP libraries).
bool CanRead(TDocumentKind kind);

// Reads the content as a document of the kind. Raises EDocumentError with
// the Italian reason when it cannot.
TDocument ReadDocument(TDocumentKind kind, const std::string& content,
                       const TReadOptions& options = {});

}  // namespace documents
