// Word documents: word/document.xml for the text, word/styles.xml for which
// paragraphs are headings, word/footnotes.xml and word/endnotes.xml for the
// notes, docProps/core.xml for the metadata.
#include <map>

#include "documents/office_text.h"
#include "documents/readers.h"
#include "documents/xml_document.h"
#include "documents/zip_archive.h"

namespace documents {
namespace {

// "3" as 3; -1 for anything else.
int SmallNumber(const std::string& text) {
  if (text.empty() || text.size() > 2) return -1;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

// The heading level a style's name or id tells: "heading 1", "Heading1",
// "Titolo1", "Titolo 1"; 0 for any other.
int LevelFromName(const std::string& name) {
  std::string squeezed;
  for (char c : name)
    if (c != ' ') squeezed += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  for (const char* word : {"heading", "titolo"}) {
    const std::string prefix(word);
    if (squeezed.compare(0, prefix.size(), prefix) != 0) continue;
    const int level = SmallNumber(squeezed.substr(prefix.size()));
    if (level >= 1 && level <= 9) return level;
  }
  return 0;
}

// w:outlineLvl in the properties: 0 for the top level; -1 when absent or
// body text (9).
int OutlineLevel(const xmlNode* properties) {
  const xmlNode* outline = FirstChild(properties, "outlineLvl");
  if (outline == nullptr) return -1;
  const int level = SmallNumber(Attribute(outline, "val"));
  return level >= 0 && level <= 8 ? level : -1;
}

// The paragraph styles of word/styles.xml and the heading level each gives.
class TDocxStyles {
 public:
  void Read(const xmlNode* root) {
    for (const xmlNode* style : Children(root, "style")) {
      if (Attribute(style, "type") != "paragraph") continue;
      TStyle& entry = styles_[Attribute(style, "styleId")];
      entry.outline = OutlineLevel(FirstChild(style, "pPr"));
      entry.basedOn = Attribute(FirstChild(style, "basedOn"), "val");
      entry.name = Attribute(FirstChild(style, "name"), "val");
    }
  }

  // 0 for a style that is not a heading. The outline level of the style or
  // of those it is based on decides; failing one, its name.
  int Level(const std::string& styleId) const {
    if (styleId.empty()) return 0;
    std::string id = styleId;
    for (int step = 0; step < 32; ++step) {
      auto found = styles_.find(id);
      if (found == styles_.end()) break;
      if (found->second.outline >= 0) return found->second.outline + 1;
      if (found->second.basedOn.empty() || found->second.basedOn == id) break;
      id = found->second.basedOn;
    }
    auto own = styles_.find(styleId);
    if (own != styles_.end() && LevelFromName(own->second.name) > 0)
      return LevelFromName(own->second.name);
    return LevelFromName(styleId);
  }

 private:
  struct TStyle {
    int outline = -1;
    std::string basedOn;
    std::string name;
  };
  std::map<std::string, TStyle> styles_;
};

// The walk of the paragraphs (w:p) below a node: their text (w:t, with
// w:tab and w:br as blanks), without deleted revisions, properties,
// field codes or the fallback copies of drawings; the images' descriptions
// (wp:docPr descr) and the notes cited. A paragraph in a text box is given
// before the one that holds the box.
class TDocxWalk {
 public:
  using TNotes = std::map<std::string, std::string>;

  TDocxWalk(const TDocxStyles& styles, const TNotes& notes) : styles_(styles), notes_(notes) {}

  template <typename TGive>
  void Walk(const xmlNode* root, TGive give) {
    WalkBelow(
        root, [this](const xmlNode* node) { return Enter(node); },
        [this, &give](const xmlNode* node) {
          if (!IsElement(node, "p") || open_.empty()) return;
          TOfficeParagraph done = std::move(open_.back());
          open_.pop_back();
          give(done);
        });
  }

 private:
  bool Enter(const xmlNode* node) {
    if (node->type != XML_ELEMENT_NODE) {
      if (!open_.empty() && IsElement(node->parent, "t")) open_.back().text += NodeText(node);
      return true;
    }
    const std::string name = LocalName(node);
    if (name == "p") {
      open_.emplace_back();
      const xmlNode* properties = FirstChild(node, "pPr");
      const int outline = OutlineLevel(properties);
      open_.back().level = outline >= 0 ? outline + 1
                                        : styles_.Level(Attribute(FirstChild(properties, "pStyle"), "val"));
      return true;
    }
    if (open_.empty()) return name != "del" && name != "moveFrom" && name != "Fallback";
    if (name == "tab" || name == "br" || name == "cr") {
      open_.back().text += ' ';
      return false;
    }
    if (name == "footnoteReference" || name == "endnoteReference") {
      auto note = notes_.find(name.substr(0, 3) + Attribute(node, "id"));
      if (note != notes_.end()) open_.back().notes.push_back(note->second);
      return false;
    }
    if (name == "docPr") {
      std::string description = Attribute(node, "descr");
      if (description.empty()) description = Attribute(node, "title");
      if (!description.empty()) open_.back().images.push_back(description);
      return false;
    }
    return name != "del" && name != "moveFrom" && name != "Fallback" && name != "pPr" &&
           name != "rPr" && name != "instrText" && name != "delText";
  }

  const TDocxStyles& styles_;
  const TNotes& notes_;
  std::vector<TOfficeParagraph> open_;
};

// Footnotes or endnotes (kind "footnote", "endnote") of their part, by
// "foo"/"end" and their id; the separators Word keeps there are not notes.
void ReadNotes(TZipArchive& zip, const TReadLimits& limits, const std::string& part,
               const char* kind, const TDocxStyles& styles, TDocxWalk::TNotes* notes) {
  if (!zip.Has(part)) return;
  TXmlDocument xml(zip.Read(part), limits, "il file " + part);
  const TDocxWalk::TNotes none;
  for (const xmlNode* note : Children(xml.Root(), kind)) {
    const std::string type = Attribute(note, "type");
    if (!type.empty() && type != "normal") continue;
    std::string text;
    TDocxWalk(styles, none).Walk(note, [&text](const TOfficeParagraph& paragraph) {
      text += " " + paragraph.text;
      for (const std::string& image : paragraph.images) text += " " + image;
    });
    (*notes)[std::string(kind).substr(0, 3) + Attribute(note, "id")] = CollapseBlanks(text);
  }
}

void ReadCore(TZipArchive& zip, const TReadLimits& limits, TMetadata* metadata) {
  if (!zip.Has("docProps/core.xml")) return;
  try {
    TXmlDocument xml(zip.Read("docProps/core.xml"), limits, "il file docProps/core.xml");
    metadata->title = CollapseBlanks(TextOf(FirstChild(xml.Root(), "title")));
    metadata->author = JoinedAuthors(TextOf(FirstChild(xml.Root(), "creator")));
    metadata->language = CollapseBlanks(TextOf(FirstChild(xml.Root(), "language")));
    metadata->date = CollapseBlanks(TextOf(FirstChild(xml.Root(), "created")));
  } catch (const EDocumentError&) {
    // The metadata is a help, not the book: damaged properties leave it empty.
    *metadata = TMetadata{};
  }
}

}  // namespace

TDocument ReadDocx(const std::string& content, const TReadOptions& options) {
  TZipArchive zip(content, options.limits);
  const std::string main = "word/document.xml";
  if (!zip.Has(main)) throw EDocumentError("manca il file " + main);
  TXmlDocument xml(zip.Read(main), options.limits, "il file " + main);
  const xmlNode* body = FirstChild(xml.Root(), "body");
  if (body == nullptr) throw EDocumentError("il file " + main + " non contiene un testo");

  TDocxStyles styles;
  if (zip.Has("word/styles.xml")) {
    try {
      TXmlDocument stylesXml(zip.Read("word/styles.xml"), options.limits, "il file word/styles.xml");
      styles.Read(stylesXml.Root());
    } catch (const EDocumentError&) {
      // Without the styles, headings are told by their styles' names.
    }
  }
  TDocxWalk::TNotes notes;
  ReadNotes(zip, options.limits, "word/footnotes.xml", "footnote", styles, &notes);
  ReadNotes(zip, options.limits, "word/endnotes.xml", "endnote", styles, &notes);

  TDocument document;
  TOfficeWriter writer(&document);
  TDocxWalk(styles, notes).Walk(body, [&writer](const TOfficeParagraph& paragraph) { writer.Add(paragraph); });
  writer.Finish();
  ReadCore(zip, options.limits, &document.metadata);
  return document;
}

}  // namespace documents
