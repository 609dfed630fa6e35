// Refusing files that are not texts.
#include "engine/non_text.h"

#include <cstdint>
#include <string_view>

#include "base/errors.h"
#include "base/messages.h"

namespace {

struct TSignature {
  const char* bytes;
  size_t length;
  const char* kind;
  bool document;
};

#define SIG(bytes, kind, document) {bytes, sizeof(bytes) - 1, kind, document}
const TSignature kSignatures[] = {
    SIG("\x7F" "ELF", msg::kKindProgram, false),
    SIG("%PDF-", "PDF", true),
    SIG("PK\x03\x04", msg::kKindZip, false),
    SIG("PK\x05\x06", msg::kKindZip, false),
    SIG("Rar!\x1A\x07", msg::kKindRar, false),
    SIG("7z\xBC\xAF\x27\x1C", msg::kKind7z, false),
    SIG("\x1F\x8B", msg::kKindGzip, false),
    SIG("\x89PNG\r\n\x1A\n", msg::kKindPng, false),
    SIG("\xFF\xD8\xFF", msg::kKindJpeg, false),
    SIG("GIF87a", msg::kKindGif, false),
    SIG("GIF89a", msg::kKindGif, false),
    SIG("ID3", msg::kKindMp3, false),
    SIG("\xFF\xFB", msg::kKindMp3, false),
    SIG("\xFF\xFA", msg::kKindMp3, false),
    SIG("\xFF\xF3", msg::kKindMp3, false),
    SIG("\xFF\xF2", msg::kKindMp3, false),
    SIG("\xFF\xE3", msg::kKindMp3, false),
    SIG("RIFF", msg::kKindRiff, false),
    SIG("OggS", msg::kKindOgg, false),
    SIG("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", msg::kKindOldWord, true),
};
#undef SIG

bool StartsWith(const std::string& content, const char* bytes, size_t length) {
  return content.size() >= length && content.compare(0, length, bytes, length) == 0;
}

bool Holds(const std::string& content, const char* what, size_t within) {
  return std::string_view(content).substr(0, within).find(what) != std::string_view::npos;
}

// A ZIP archive is also the container of EPUB books and of Word and
// OpenDocument texts; their first entries tell which.
TNonText ZipKind(const std::string& content) {
  const size_t head = 4096;
  if (Holds(content, "application/epub+zip", head)) return {true, true, "EPUB"};
  if (Holds(content, "application/vnd.oasis.opendocument", head)) return {true, true, "ODT"};
  if (Holds(content, "word/", head) || Holds(content, "[Content_Types].xml", head))
    return {true, true, "DOCX"};
  return {true, false, msg::kKindZip};
}

bool IsControlByte(uint8_t b) {
  return b < 0x20 && b != '\t' && b != '\n' && b != '\f' && b != '\r' && b != 0x1A;
}

}  // namespace

TNonText RecogniseNonText(const std::string& content) {
  for (const TSignature& s : kSignatures) {
    if (!StartsWith(content, s.bytes, s.length)) continue;
    if (s.bytes[0] == 'P' && s.bytes[1] == 'K') return ZipKind(content);
    return {true, s.document, s.kind};
  }
  size_t controls = 0;
  for (char c : content)
    if (IsControlByte(static_cast<uint8_t>(c))) ++controls;
  if (controls > 3 && controls * 100 > content.size()) return {true, false, msg::kKindControls};
  return {};
}

std::string NonTextMessage(const std::string& path, const TNonText& what) {
  if (what.document && what.kind == "PDF") return FormatText(msg::kPdfNotRead, {path});
  return FormatText(what.document ? msg::kDocumentNotText : msg::kNotATextFile,
                    {path, what.kind});
}
