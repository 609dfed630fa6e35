// Markdown texts, read line by line without any library (the Windows build
// has this reader too): headings start chapters, the markup is dropped and
// what a reader sees is kept.
#include <cctype>
#include <map>

#include "documents/readers.h"
#include "text/ascii.h"
#include "text/utf8.h"

namespace documents {
namespace {

bool IsAlnum(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || (c & 0x80) != 0; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

size_t Indent(const std::string& line) {
  size_t at = 0;
  while (at < line.size() && IsBlank(line[at])) ++at;
  return at;
}

// A line of only one character repeated (blanks aside), at least three times.
bool IsRule(const std::string& line, char mark) {
  int count = 0;
  for (char c : line) {
    if (c == mark) ++count;
    else if (!IsBlank(c)) return false;
  }
  return count >= 3;
}

// Where the closing ']' of the bracket opened at text[open] is, or npos.
size_t ClosingBracket(const std::string& text, size_t open) {
  int depth = 0;
  for (size_t at = open; at < text.size(); ++at) {
    if (text[at] == '\\') ++at;
    else if (text[at] == '[') ++depth;
    else if (text[at] == ']' && --depth == 0) return at;
  }
  return std::string::npos;
}

// "[label]: url", which nobody reads.
bool IsLinkDefinition(const std::string& trimmed) {
  if (trimmed.empty() || trimmed[0] != '[') return false;
  const size_t close = ClosingBracket(trimmed, 0);
  return close != std::string::npos && close + 1 < trimmed.size() && trimmed[close + 1] == ':';
}

// The character reference at text[at] ("&amp;", "&#232;") decoded into out;
// how many bytes it takes, 0 when it is none.
size_t CharacterReference(const std::string& text, size_t at, std::string* out) {
  static const std::map<std::string, const char*> named = {
      {"amp", "&"},        {"lt", "<"},         {"gt", ">"},         {"quot", "\""},
      {"apos", "'"},       {"nbsp", " "},       {"agrave", "\xc3\xa0"}, {"egrave", "\xc3\xa8"},
      {"eacute", "\xc3\xa9"}, {"igrave", "\xc3\xac"}, {"ograve", "\xc3\xb2"}, {"ugrave", "\xc3\xb9"},
      {"Agrave", "\xc3\x80"}, {"Egrave", "\xc3\x88"}, {"Eacute", "\xc3\x89"}, {"laquo", "\xc2\xab"},
      {"raquo", "\xc2\xbb"},  {"hellip", "..."},     {"ndash", "-"},      {"mdash", "-"}};
  const size_t end = text.find(';', at);
  if (end == std::string::npos || end - at > 10) return 0;
  const std::string name = text.substr(at + 1, end - at - 1);
  if (name.size() > 1 && name[0] == '#') {
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string digits = name.substr(hex ? 2 : 1);
    if (digits.empty() || digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") !=
                              std::string::npos)
      return 0;
    const unsigned long code = std::stoul(digits, nullptr, hex ? 16 : 10);
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    text::AppendUtf8(static_cast<uint32_t>(code), out);
    return end - at + 1;
  }
  auto found = named.find(name);
  if (found == named.end()) return 0;
  *out += found->second;
  return end - at + 1;
}

// The text of a line's inline markup as a reader sees it: emphasis and code
// markers, link targets, tags and comments dropped; images give their alt
// text; note references ("[^1]") are put in notes.
std::string Inline(const std::string& text, std::vector<std::string>* notes) {
  std::string out;
  for (size_t at = 0; at < text.size();) {
    const char c = text[at];
    if (c == '\\' && at + 1 < text.size() && std::ispunct(static_cast<unsigned char>(text[at + 1]))) {
      out += text[at + 1];
      at += 2;
    } else if (c == '`') {
      const size_t end = text.find_first_not_of('`', at);
      const size_t run = (end == std::string::npos ? text.size() : end) - at;
      const size_t close = text.find(std::string(run, '`'), at + run);
      if (close == std::string::npos) {
        at += run;
        continue;
      }
      out += text.substr(at + run, close - at - run);
      at = close + run;
    } else if (c == '[' || (c == '!' && at + 1 < text.size() && text[at + 1] == '[')) {
      const size_t open = c == '!' ? at + 1 : at;
      const size_t close = ClosingBracket(text, open);
      if (close == std::string::npos) {
        out += c;
        ++at;
        continue;
      }
      const std::string label = text.substr(open + 1, close - open - 1);
      at = close + 1;
      if (!label.empty() && label[0] == '^') {
        if (notes != nullptr) notes->push_back(label.substr(1));
        continue;
      }
      out += Inline(label, nullptr);
      // The target ("(url "title")", "[ref]"), then attributes ("{#id .class}").
      for (const char* pair : {"()", "[]", "{}"}) {
        if (at >= text.size() || text[at] != pair[0]) continue;
        const size_t end = text.find(pair[1], at);
        if (end != std::string::npos) at = end + 1;
      }
    } else if (c == '<') {
      const size_t close = text.find('>', at);
      const std::string inside = close == std::string::npos ? "" : text.substr(at + 1, close - at - 1);
      if (inside.compare(0, 4, "http") == 0 || inside.compare(0, 7, "mailto:") == 0) {
        out += inside;
        at = close + 1;
      } else if (!inside.empty() && (std::isalpha(static_cast<unsigned char>(inside[0])) || inside[0] == '/' || inside[0] == '!')) {
        out += ' ';
        at = close + 1;
      } else {
        out += c;
        ++at;
      }
    } else if (c == '*' || c == '_' || c == '~') {
      const size_t end = text.find_first_not_of(c, at);
      const char before = at > 0 ? text[at - 1] : ' ';
      const char after = end == std::string::npos ? ' ' : text[end];
      const bool flanking = !IsBlank(before) || !IsBlank(after);
      const bool intraword = c == '_' && IsAlnum(before) && IsAlnum(after);
      const bool single = c == '~' && end - at < 2;
      if (!flanking || intraword || single) out.append(text, at, (end == std::string::npos ? text.size() : end) - at);
      at = end == std::string::npos ? text.size() : end;
    } else if (c == '&') {
      const size_t taken = CharacterReference(text, at, &out);
      if (taken == 0) out += c;
      at += taken == 0 ? 1 : taken;
    } else {
      out += c;
      ++at;
    }
  }
  return out;
}

// Drops <!-- comments -->, which may run over several lines.
std::string WithoutComments(const std::string& line, bool* inComment) {
  std::string out;
  size_t at = 0;
  while (at < line.size()) {
    if (*inComment) {
      const size_t end = line.find("-->", at);
      if (end == std::string::npos) return out;
      *inComment = false;
      at = end + 3;
      continue;
    }
    const size_t start = line.find("<!--", at);
    if (start == std::string::npos) {
      out.append(line, at, std::string::npos);
      break;
    }
    out.append(line, at, start - at);
    *inComment = true;
    at = start + 4;
  }
  return out;
}

std::string Unquoted(const std::string& value) {
  std::string trimmed = TrimBlanks(value);
  if (trimmed.size() >= 2 && (trimmed[0] == '"' || trimmed[0] == '\'') && trimmed.back() == trimmed[0])
    trimmed = trimmed.substr(1, trimmed.size() - 2);
  return trimmed;
}

// A YAML front matter at the very top ("---" ... "---" or "..."): its
// title, author (a value or a list), lang and date. Returns the index of
// the first line after it, 0 without one.
size_t ReadFrontMatter(const std::vector<std::string>& lines, TMetadata* metadata) {
  if (lines.empty() || TrimBlanks(lines[0]) != "---") return 0;
  size_t end = 1;
  while (end < lines.size() && TrimBlanks(lines[end]) != "---" && TrimBlanks(lines[end]) != "...") ++end;
  if (end == lines.size()) return 0;
  std::string key;
  std::vector<std::string> authors;
  for (size_t i = 1; i < end; ++i) {
    const std::string line = TrimBlanks(lines[i]);
    if (line.compare(0, 2, "- ") == 0) {
      if (key == "author") authors.push_back(Unquoted(line.substr(2)));
      continue;
    }
    const size_t colon = line.find(':');
    if (colon == std::string::npos || Indent(lines[i]) > 0) continue;
    key = LowerAscii(TrimBlanks(line.substr(0, colon)));
    const std::string value = Unquoted(line.substr(colon + 1));
    if (value.empty()) continue;
    if (key == "title") metadata->title = value;
    else if (key == "author") authors.push_back(value);
    else if (key == "lang" || key == "language") metadata->language = value;
    else if (key == "date") metadata->date = value;
  }
  for (const std::string& author : authors)
    if (!author.empty()) metadata->author += (metadata->author.empty() ? "" : ", ") + author;
  return end + 1;
}

// The line without its list marker ("- ", "* ", "+ ", "1. ", "1) "); false
// when it has none.
bool DropListMarker(std::string* line) {
  const size_t at = Indent(*line);
  size_t after = at;
  if (after < line->size() && (line->at(after) == '-' || line->at(after) == '*' || line->at(after) == '+')) {
    ++after;
  } else {
    while (after < line->size() && after - at < 9 && std::isdigit(static_cast<unsigned char>(line->at(after)))) ++after;
    if (after == at || after >= line->size() || (line->at(after) != '.' && line->at(after) != ')')) return false;
    ++after;
  }
  if (after < line->size() && !IsBlank(line->at(after))) return false;
  *line = line->substr(after);
  return true;
}

class TMarkdownReader {
 public:
  explicit TMarkdownReader(TDocument* document) : document_(document), builder_(document) {}

  void Read(const std::vector<std::string>& lines, size_t first) {
    CollectNoteDefinitions(lines, first);
    bool inComment = false;
    for (size_t i = first; i < lines.size(); ++i) {
      if (skip_.count(i) != 0) continue;
      std::string line = lines[i];
      const size_t indent = Indent(line);
      const std::string fence = line.substr(indent, 3);
      if (!inComment && indent < 4 && (fence == "```" || fence == "~~~")) {
        i = ReadCode(lines, i, line[indent]);
        continue;
      }
      const bool hadText = !TrimBlanks(line).empty();
      line = WithoutComments(line, &inComment);
      if (hadText && TrimBlanks(line).empty()) continue;
      while (TrimBlanks(line).compare(0, 1, ">") == 0) line = TrimBlanks(line).substr(1);
      const std::string trimmed = TrimBlanks(line);
      if (trimmed.empty()) {
        EndParagraph();
      } else if (!pending_.empty() && Indent(line) < 4 && (IsRule(trimmed, '=') || (IsRule(trimmed, '-') && trimmed.find(' ') == std::string::npos))) {
        Heading(pending_, IsRule(trimmed, '=') ? 1 : 2);
        pending_.clear();
      } else if (IsRule(trimmed, '-') || IsRule(trimmed, '*') || IsRule(trimmed, '_')) {
        EndParagraph();
      } else if (trimmed[0] == '#' && Indent(line) < 4 && AtxHeading(trimmed)) {
        // The heading has started its chapter.
      } else if (trimmed[0] == '|') {
        EndParagraph();
        if (trimmed.find_first_not_of("|-: \t") != std::string::npos) {
          std::string row = trimmed;
          for (char& c : row) c = c == '|' ? ' ' : c;
          AddParagraph(row);
        }
      } else if (IsLinkDefinition(trimmed)) {
        // A link reference definition: nothing to read.
      } else {
        if (DropListMarker(&line)) EndParagraph();
        pending_ += (pending_.empty() ? "" : " ") + TrimBlanks(line);
      }
    }
    EndParagraph();
    builder_.Finish();
    if (document_->metadata.title.empty()) document_->metadata.title = firstTitle_;
  }

 private:
  // "[^id]: text" and the indented lines after it.
  void CollectNoteDefinitions(const std::vector<std::string>& lines, size_t first) {
    for (size_t i = first; i < lines.size(); ++i) {
      const std::string trimmed = TrimBlanks(lines[i]);
      if (Indent(lines[i]) >= 4 || trimmed.compare(0, 2, "[^") != 0) continue;
      const size_t close = trimmed.find("]:");
      if (close == std::string::npos) continue;
      std::string text = trimmed.substr(close + 2);
      skip_[i] = true;
      while (i + 1 < lines.size() && Indent(lines[i + 1]) > 0 && !TrimBlanks(lines[i + 1]).empty()) {
        text += " " + TrimBlanks(lines[++i]);
        skip_[i] = true;
      }
      noteTexts_[trimmed.substr(2, close - 2)] = Inline(text, nullptr);
    }
  }

  bool AtxHeading(const std::string& trimmed) {
    const size_t hashes = trimmed.find_first_not_of('#');
    const size_t level = hashes == std::string::npos ? trimmed.size() : hashes;
    if (level > 6 || (hashes != std::string::npos && !IsBlank(trimmed[hashes]))) return false;
    std::string title = hashes == std::string::npos ? "" : TrimBlanks(trimmed.substr(hashes));
    const size_t closing = title.find_last_not_of('#');
    if (closing == std::string::npos) title.clear();
    else if (closing + 1 < title.size() && IsBlank(title[closing])) title = TrimBlanks(title.substr(0, closing));
    // Attributes at the end: "# Titolo {#id .class}".
    const size_t brace = title.rfind(" {");
    if (brace != std::string::npos && title.back() == '}') title = TrimBlanks(title.substr(0, brace));
    EndParagraph();
    Heading(title, static_cast<int>(level));
    return true;
  }

  size_t ReadCode(const std::vector<std::string>& lines, size_t open, char mark) {
    EndParagraph();
    const size_t indent = Indent(lines[open]);
    const size_t length = lines[open].find_first_not_of(mark, indent) - indent;
    std::string code;
    size_t i = open + 1;
    for (; i < lines.size(); ++i) {
      const std::string trimmed = TrimBlanks(lines[i]);
      if (trimmed.size() >= length && IsRule(trimmed, mark) && trimmed.find(' ') == std::string::npos) break;
      if (trimmed.empty()) {
        builder_.AddParagraph(code);
        code.clear();
      }
      code += " " + lines[i];
    }
    builder_.AddParagraph(code);
    return i;
  }

  void Heading(const std::string& markup, int level) {
    std::vector<std::string> notes;
    const std::string title = CollapseBlanks(Inline(markup, &notes));
    if (title.empty()) return;
    builder_.StartChapter(title, level);
    if (level == 1 && firstTitle_.empty()) firstTitle_ = title;
    AddNotes(notes);
  }

  void AddParagraph(const std::string& markup) {
    std::vector<std::string> notes;
    builder_.AddParagraph(Inline(markup, &notes));
    AddNotes(notes);
  }

  void AddNotes(const std::vector<std::string>& ids) {
    for (const std::string& id : ids) {
      auto found = noteTexts_.find(id);
      if (found != noteTexts_.end()) builder_.AddNote(found->second);
    }
  }

  void EndParagraph() {
    if (!pending_.empty()) AddParagraph(pending_);
    pending_.clear();
  }

  TDocument* document_;
  TDocumentBuilder builder_;
  std::string pending_;
  std::string firstTitle_;
  std::map<size_t, bool> skip_;
  std::map<std::string, std::string> noteTexts_;
};

}  // namespace

TDocument ReadMarkdown(const std::string& content, const TReadOptions&) {
  std::vector<std::string> lines;
  size_t at = content.compare(0, 3, "\xef\xbb\xbf") == 0 ? 3 : 0;
  while (at <= content.size()) {
    size_t end = content.find('\n', at);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    at = end + 1;
  }
  TDocument document;
  const size_t first = ReadFrontMatter(lines, &document.metadata);
  TMarkdownReader(&document).Read(lines, first);
  return document;
}

}  // namespace documents
