// The readers of each document kind, behind ReadDocument. Each raises
// EDocumentError with the Italian reason when the content cannot be read.
#pragma once

#include <string>

#include "documents/document.h"

namespace documents {

TDocument ReadHtml(const std::string& content, const TReadOptions& options);
TDocument ReadEpub(const std::string& content, const TReadOptions& options);
TDocument ReadOdt(const std::string& content, const TReadOptions& options);
TDocument ReadDocx(const std::string& content, const TReadOptions& options);
TDocument ReadMarkdown(const std::string& content, const TReadOptions& options);

}  // namespace documents
