// OpenDocument texts: content.xml for the text, meta.xml for the metadata.
#include "documents/office_text.h"
#include "documents/readers.h"
#include "documents/xml_document.h"
#include "documents/zip_archive.h"

namespace documents {
namespace {

const char kTextNs[] = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";
const char kOfficeNs[] = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
const char kSvgNs[] = "urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0";

int OutlineLevel(const xmlNode* heading) {
  const std::string value = Attribute(heading, "outline-level");
  int level = 0;
  for (char c : value) {
    if (c < '0' || c > '9' || level > 100) return 1;
    level = level * 10 + (c - '0');
  }
  return level < 1 ? 1 : level;
}

// The paragraph and the images and notes in it as one run of text, for a
// paragraph inside a note.
std::string Flattened(const TOfficeParagraph& paragraph) {
  std::string text = paragraph.text;
  for (const std::string& image : paragraph.images) text += " " + image;
  for (const std::string& note : paragraph.notes) text += " " + note;
  return text;
}

// The walk of office:text. Paragraphs and headings (text:p, text:h) and
// notes (text:note) that are open around the node are on a stack: text
// goes to the innermost; a note's paragraphs make up its text, and a note
// is given with the paragraph that cites it.
class TOdtWalk {
 public:
  explicit TOdtWalk(TOfficeWriter* writer) : writer_(writer) {}

  bool Enter(const xmlNode* node) {
    if (node->type != XML_ELEMENT_NODE) {
      if (!open_.empty()) open_.back().paragraph.text += NodeText(node);
      return true;
    }
    if (InNamespace(node, kTextNs)) {
      const std::string name = LocalName(node);
      if (name == "p" || name == "h") {
        open_.push_back(TOpen{});
        if (name == "h") open_.back().paragraph.level = OutlineLevel(node);
        return true;
      }
      if (name == "note") {
        open_.push_back(TOpen{});
        open_.back().note = true;
        return true;
      }
      if (name == "s" || name == "tab" || name == "line-break") {
        if (!open_.empty()) open_.back().paragraph.text += ' ';
        return false;
      }
      // The citation mark, deleted and changed text kept apart, declarations.
      return name != "note-citation" && name != "tracked-changes" && name != "sequence-decls" &&
             name != "variable-decls" && name != "user-field-decls";
    }
    if (InNamespace(node, kOfficeNs)) return LocalName(node) != "annotation";
    if (InNamespace(node, kSvgNs) && (IsElement(node, "title") || IsElement(node, "desc"))) {
      AddImage(TextOf(node));
      return false;
    }
    return true;
  }

  void Leave(const xmlNode* node) {
    if (!InNamespace(node, kTextNs)) return;
    if (IsElement(node, "p") || IsElement(node, "h")) {
      TOpen done = std::move(open_.back());
      open_.pop_back();
      if (InNote())
        open_.back().paragraph.text += " " + Flattened(done.paragraph) + " ";
      else
        writer_->Add(done.paragraph);
    } else if (IsElement(node, "note")) {
      std::string note = std::move(open_.back().paragraph.text);
      open_.pop_back();
      if (open_.empty()) {
        TOfficeParagraph alone;
        alone.notes.push_back(note);
        writer_->Add(alone);
      } else if (InNote()) {
        open_.back().paragraph.text += " " + note + " ";
      } else {
        open_.back().paragraph.notes.push_back(note);
      }
    }
  }

 private:
  struct TOpen {
    bool note = false;
    TOfficeParagraph paragraph;  // a note's text is in paragraph.text
  };

  bool InNote() const {
    for (const TOpen& open : open_)
      if (open.note) return true;
    return false;
  }

  void AddImage(const std::string& description) {
    if (open_.empty()) {
      TOfficeParagraph alone;
      alone.text = description;
      writer_->Add(alone);
    } else if (InNote()) {
      open_.back().paragraph.text += " " + description + " ";
    } else {
      open_.back().paragraph.images.push_back(description);
    }
  }

  TOfficeWriter* writer_;
  std::vector<TOpen> open_;
};

void ReadMeta(TZipArchive& zip, const TReadLimits& limits, TMetadata* metadata) {
  if (!zip.Has("meta.xml")) return;
  try {
    TXmlDocument xml(zip.Read("meta.xml"), limits, "il file meta.xml");
    const xmlNode* meta = FindBelow(xml.Root(), "meta");
    metadata->title = CollapseBlanks(TextOf(FirstChild(meta, "title")));
    metadata->author = JoinedAuthors(TextOf(FirstChild(meta, "creator")));
    if (metadata->author.empty())
      metadata->author = JoinedAuthors(TextOf(FirstChild(meta, "initial-creator")));
    metadata->language = CollapseBlanks(TextOf(FirstChild(meta, "language")));
    metadata->date = CollapseBlanks(TextOf(FirstChild(meta, "date")));
  } catch (const EDocumentError&) {
    // The metadata is a help, not the book: a damaged meta.xml leaves it empty.
    *metadata = TMetadata{};
  }
}

}  // namespace

TDocument ReadOdt(const std::string& content, const TReadOptions& options) {
  TZipArchive zip(content, options.limits);
  if (!zip.Has("content.xml")) throw EDocumentError("manca il file content.xml");
  TXmlDocument xml(zip.Read("content.xml"), options.limits, "il file content.xml");
  const xmlNode* text = FirstChild(FirstChild(xml.Root(), "body"), "text");
  if (text == nullptr) throw EDocumentError("il file content.xml non contiene un testo");

  TDocument document;
  TOfficeWriter writer(&document);
  TOdtWalk walk(&writer);
  WalkBelow(
      text, [&walk](const xmlNode* node) { return walk.Enter(node); },
      [&walk](const xmlNode* node) { walk.Leave(node); });
  writer.Finish();
  ReadMeta(zip, options.limits, &document.metadata);
  return document;
}

}  // namespace documents
