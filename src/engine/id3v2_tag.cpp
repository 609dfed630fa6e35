// ID3v2.3: a 10-byte header ("ID3", version 3.0, no flags, the size of what
// follows in four 7-bit bytes), then frames of a 4-character id, a 32-bit
// big-endian size, two flag bytes and the body.
#include "engine/id3v2_tag.h"

#include "base/messages.h"
#include "text/ascii.h"
#include "text/utf8.h"

namespace {

constexpr char kUtf16WithBom = 1;

void AppendBigEndian(uint32_t n, std::string* out) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<char>((n >> shift) & 0xFF));
}

// The byte-order mark and the text as UTF-16 little-endian; a malformed
// UTF-8 sequence becomes U+FFFD.
std::string Utf16WithBom(const std::string& text) {
  std::string out = "\xFF\xFE";
  auto unit = [&out](uint32_t u) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>((u >> 8) & 0xFF));
  };
  for (size_t i = 0; i < text.size();) {
    text::Utf8Char c = text::DecodeUtf8(text, i);
    i += c.length;
    uint32_t code = c.valid ? c.code : 0xFFFD;
    if (code < 0x10000) {
      unit(code);
    } else {
      code -= 0x10000;
      unit(0xD800 + (code >> 10));
      unit(0xDC00 + (code & 0x3FF));
    }
  }
  return out;
}

void AppendFrame(const char* id, const std::string& body, std::string* out) {
  out->append(id, 4);
  AppendBigEndian(static_cast<uint32_t>(body.size()), out);
  out->append(2, '\0');
  *out += body;
}

void AppendTextFrame(const char* id, const std::string& text, std::string* out) {
  AppendFrame(id, std::string(1, kUtf16WithBom) + Utf16WithBom(text), out);
}

}  // namespace

const char* Iso639Language(int32_t dialect) {
  switch (dialect >> 16) {
    case 2: return "spa";
    case 3: return "fra";
    case 4: return "deu";
    case 5: return "ita";
    case 7: return "por";
    default: return "eng";
  }
}

std::string Id3v2Tag(const TId3v2Fields& fields) {
  std::string album = fields.album;
  if (!album.empty()) album[0] = UpperAscii(album[0]);
  std::string n = std::to_string(fields.track);
  std::string year = std::to_string(10000 + (fields.year < 0 ? 0 : fields.year % 10000)).substr(1);
  const char* language = Iso639Language(fields.language);

  std::string frames;
  AppendTextFrame("TIT2", fields.title.empty() ? "Track " + n : fields.title, &frames);
  if (!fields.artist.empty()) AppendTextFrame("TPE1", fields.artist, &frames);
  AppendTextFrame("TALB", album, &frames);
  AppendTextFrame("TRCK", fields.tracks > 0 ? n + "/" + std::to_string(fields.tracks) : n, &frames);
  AppendTextFrame("TCON", "Speech", &frames);
  AppendTextFrame("TYER", year, &frames);
  AppendTextFrame("TLAN", language, &frames);
  // The comment: its language, an empty description and the text.
  AppendFrame("COMM",
              std::string(1, kUtf16WithBom) + language + Utf16WithBom("") + std::string(2, '\0') +
                  Utf16WithBom(msg::kTagComment),
              &frames);

  std::string tag = "ID3";
  tag += '\x03';
  tag += '\0';
  tag += '\0';
  uint32_t size = static_cast<uint32_t>(frames.size());
  for (int shift = 21; shift >= 0; shift -= 7) tag.push_back(static_cast<char>((size >> shift) & 0x7F));
  return tag + frames;
}
