// Any bytes as a web page: the reader ends with a document or with
// EDocumentError, its paragraphs never empty nor holding a line break.
#include "documents/read_document.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  try {
    documents::TDocument document = documents::ReadDocument(documents::TDocumentKind::Html, content);
    for (const documents::TChapter& chapter : document.chapters) {
      FUZZ_CHECK(chapter.level >= 1 && chapter.level <= 6);
      for (const std::string& paragraph : chapter.paragraphs)
        FUZZ_CHECK(!paragraph.empty() && paragraph.find('\n') == std::string::npos);
    }
  } catch (const documents::EDocumentError&) {
  }
  return 0;
}
