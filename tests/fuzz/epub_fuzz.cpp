// Any bytes as an EPUB, ODT or DOCX book: the readers end with a document
// or with EDocumentError, never a crash, a leak or a hang, within limits
// small enough for the fuzzer's memory.
#include "documents/read_document.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  documents::TReadOptions options;
  options.limits.maxUncompressed = size_t{64} << 20;
  for (documents::TDocumentKind kind :
       {documents::TDocumentKind::Epub, documents::TDocumentKind::Odt, documents::TDocumentKind::Docx}) {
    try {
      documents::TDocument document = documents::ReadDocument(kind, content, options);
      for (const documents::TChapter& chapter : document.chapters) {
        FUZZ_CHECK(chapter.level >= 1 && chapter.level <= 6);
        for (const std::string& paragraph : chapter.paragraphs) FUZZ_CHECK(!paragraph.empty());
      }
    } catch (const documents::EDocumentError&) {
    }
  }
  return 0;
}
