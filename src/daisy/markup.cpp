#include "daisy/markup.h"

#include "text/utf8.h"

namespace daisy {

std::string Escaped(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const text::Utf8Char c = text::DecodeUtf8(utf8, i);
    const std::string bytes = utf8.substr(i, c.length);
    i += c.length;
    if (!c.valid) continue;
    switch (c.code) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        // XML 1.0 allows no other control character, nor U+FFFE and U+FFFF.
        if (c.code < 0x20 || c.code == 0x7F || c.code == 0xFFFE || c.code == 0xFFFF)
          out += ' ';
        else
          out += bytes;
    }
  }
  return out;
}

std::string MetaElement(const std::string& name, const std::string& content,
                        const std::string& scheme) {
  return "<meta name=\"" + name + "\" content=\"" + Escaped(content) + "\"" +
         (scheme.empty() ? "" : " scheme=\"" + scheme + "\"") + " />\n";
}

}  // namespace daisy
