// A ZIP archive held in memory (EPUB, ODT, DOCX), read with libzip within
// the limits of TReadLimits: a bomb or a damaged archive is an error, never
// an exhausted memory.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "documents/document.h"

namespace documents {

class TZipArchive {
 public:
  // The bytes must outlive the archive. Raises EDocumentError when they are
  // not a readable ZIP archive or hold more entries than the limits allow.
  TZipArchive(const std::string& bytes, const TReadLimits& limits);
  ~TZipArchive();
  TZipArchive(const TZipArchive&) = delete;
  TZipArchive& operator=(const TZipArchive&) = delete;

  bool Has(const std::string& name) const;
  std::vector<std::string> Names() const;
  // The entry's bytes. Raises EDocumentError when it is missing, damaged or
  // encrypted, or when it (or everything read so far) would exceed
  // maxUncompressed, whatever sizes the archive declares.
  std::string Read(const std::string& name);

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

// The path of href relative to the entry base ("OEBPS/text/ch1.xhtml" and
// "../images/a.png" give "OEBPS/images/a.png"), percent escapes decoded and
// any "#fragment" dropped.
std::string ResolveEntryPath(const std::string& base, const std::string& href);

}  // namespace documents
