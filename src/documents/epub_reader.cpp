// An EPUB book (2 or 3): its package document gives the metadata and the
// reading order, its table of contents the chapters: the navigation
// document of EPUB 3, else the NCX of EPUB 2, else the headings themselves.
#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>

#include "documents/html_blocks.h"
#include "documents/html_chapters.h"
#include "documents/readers.h"
#include "documents/xml_document.h"
#include "documents/zip_archive.h"

namespace documents {
namespace {

const std::string kDamaged = "il libro EPUB e' danneggiato: ";

struct TManifestItem {
  std::string path;  // within the archive
  std::string mediaType;
  std::string properties;
};

struct TPackage {
  std::string path;
  TMetadata metadata;
  std::unordered_map<std::string, TManifestItem> manifest;
  std::vector<std::string> spine;  // paths of the content documents, in reading order
  std::string ncxId;               // the spine's toc attribute
};

struct TTocEntry {
  std::string path;
  std::string fragment;  // "" for the start of the document
  std::string title;
  int level = 1;
};

bool HasWord(const std::string& list, const std::string& word) {
  size_t at = 0;
  while ((at = list.find_first_not_of(" \t\r\n", at)) != std::string::npos) {
    size_t end = list.find_first_of(" \t\r\n", at);
    if (list.compare(at, end == std::string::npos ? std::string::npos : end - at, word) == 0) return true;
    at = end;
  }
  return false;
}

std::string Fragment(const std::string& href) {
  size_t hash = href.find('#');
  return hash == std::string::npos ? "" : href.substr(hash + 1);
}

class TEpub {
 public:
  TEpub(const std::string& content, const TReadLimits& limits) : limits_(limits), archive_(content, limits) {}

  // A part of the book that must be there.
  std::string Part(const std::string& path) {
    if (!archive_.Has(path)) throw EDocumentError(kDamaged + "manca il file " + path);
    return archive_.Read(path);
  }

  std::unique_ptr<TXmlDocument> Xml(const std::string& path) {
    try {
      return std::make_unique<TXmlDocument>(Part(path), limits_, "il file " + path);
    } catch (const EDocumentError& error) {
      const std::string reason = error.what();
      if (reason.compare(0, kDamaged.size(), kDamaged) == 0 || reason.compare(0, 12, "l'archivio e") == 0)
        throw;
      throw EDocumentError(kDamaged + reason);
    }
  }

  TPackage ReadPackage() {
    TPackage package;
    {
      std::unique_ptr<TXmlDocument> container = Xml("META-INF/container.xml");
      const xmlNode* rootfile = FindBelow(container->Root(), "rootfile");
      std::string fullPath = rootfile ? Attribute(rootfile, "full-path") : "";
      if (fullPath.empty()) throw EDocumentError(kDamaged + "il file META-INF/container.xml non indica il contenuto");
      package.path = ResolveEntryPath("", fullPath);
    }
    std::unique_ptr<TXmlDocument> opf = Xml(package.path);
    const xmlNode* root = opf->Root();
    if (const xmlNode* metadata = FirstChild(root, "metadata")) ReadMetadata(metadata, &package.metadata);
    if (const xmlNode* manifest = FirstChild(root, "manifest")) {
      for (const xmlNode* item : Children(manifest, "item")) {
        std::string href = Attribute(item, "href");
        if (href.empty()) continue;
        package.manifest.emplace(Attribute(item, "id"),
                                 TManifestItem{ResolveEntryPath(package.path, href), Attribute(item, "media-type"),
                                               Attribute(item, "properties")});
      }
    }
    const xmlNode* spine = FirstChild(root, "spine");
    if (!spine) throw EDocumentError(kDamaged + "il file " + package.path + " non ha l'ordine di lettura");
    package.ncxId = Attribute(spine, "toc");
    // The documents outside the reading order (notes, answers) come after it.
    // A file named by several items (hrefs with fragments) is read once,
    // where it first comes.
    std::vector<std::string> aside;
    std::set<std::string> taken;
    for (const xmlNode* itemref : Children(spine, "itemref")) {
      auto item = package.manifest.find(Attribute(itemref, "idref"));
      if (item == package.manifest.end()) continue;
      const std::string& type = item->second.mediaType;
      if (type != "application/xhtml+xml" && type != "text/html") continue;
      if (!taken.insert(item->second.path).second) continue;
      (Attribute(itemref, "linear") == "no" ? aside : package.spine).push_back(item->second.path);
    }
    package.spine.insert(package.spine.end(), aside.begin(), aside.end());
    return package;
  }

  static void ReadMetadata(const xmlNode* metadata, TMetadata* out) {
    for (const xmlNode* node = metadata->children; node; node = node->next) {
      std::string text = CollapseBlanks(TextOf(node));
      if (text.empty()) continue;
      if (IsElement(node, "title") && out->title.empty()) out->title = text;
      else if (IsElement(node, "creator")) out->author += (out->author.empty() ? "" : ", ") + text;
      else if (IsElement(node, "language") && out->language.empty()) out->language = text;
      else if (IsElement(node, "date") && out->date.empty()) out->date = text;
    }
  }

  // The table of contents, or nothing when the book has none that can be read.
  std::vector<TTocEntry> ReadToc(const TPackage& package) {
    for (const auto& entry : package.manifest) {
      const TManifestItem& item = entry.second;
      if (!HasWord(item.properties, "nav")) continue;
      std::vector<TTocEntry> entries = Guarded([&] { return ReadNav(item.path); });
      if (!entries.empty()) return entries;
    }
    auto ncx = package.manifest.find(package.ncxId);
    if (ncx == package.manifest.end())
      ncx = std::find_if(package.manifest.begin(), package.manifest.end(),
                         [](const auto& item) { return item.second.mediaType == "application/x-dtbncx+xml"; });
    if (ncx != package.manifest.end()) return Guarded([&] { return ReadNcx(ncx->second.path); });
    return {};
  }

  // A damaged table of contents leaves the headings to tell the chapters.
  template <typename Read>
  static std::vector<TTocEntry> Guarded(Read read) {
    try {
      return read();
    } catch (const EDocumentError&) {
      return {};
    }
  }

  std::vector<TTocEntry> ReadNav(const std::string& path) {
    std::unique_ptr<TXmlDocument> nav = Xml(path);
    // The nav element whose epub:type is toc, else the first one.
    const xmlNode* toc = FindTocNav(nav->Root());
    if (!toc) toc = FindBelow(nav->Root(), "nav");
    std::vector<TTocEntry> entries;
    if (const xmlNode* list = toc ? FindBelow(toc, "ol") : nullptr) AddNavList(list, path, 1, &entries);
    return entries;
  }

  static const xmlNode* FindTocNav(const xmlNode* root) {
    const xmlNode* found = nullptr;
    WalkBelow(
        root,
        [&found](const xmlNode* node) {
          if (!found && IsElement(node, "nav") && HasWord(Attribute(node, "type"), "toc")) found = node;
          return !found;
        },
        nullptr);
    return found;
  }

  static void AddNavList(const xmlNode* list, const std::string& base, int level, std::vector<TTocEntry>* entries) {
    for (const xmlNode* li : Children(list, "li")) {
      const xmlNode* link = FirstChild(li, "a");
      if (link) {
        std::string href = Attribute(link, "href");
        if (!href.empty())
          entries->push_back({ResolveEntryPath(base, href), Fragment(href), CollapseBlanks(TextOf(link)), level});
      }
      // An entry without a link (a heading of the list) still nests its own.
      if (const xmlNode* nested = FirstChild(li, "ol")) AddNavList(nested, base, link ? level + 1 : level, entries);
    }
  }

  std::vector<TTocEntry> ReadNcx(const std::string& path) {
    std::unique_ptr<TXmlDocument> ncx = Xml(path);
    std::vector<TTocEntry> entries;
    if (const xmlNode* map = FirstChild(ncx->Root(), "navMap")) AddNavPoints(map, path, 1, &entries);
    return entries;
  }

  static void AddNavPoints(const xmlNode* parent, const std::string& base, int level,
                           std::vector<TTocEntry>* entries) {
    for (const xmlNode* point : Children(parent, "navPoint")) {
      const xmlNode* content = FirstChild(point, "content");
      std::string src = content ? Attribute(content, "src") : "";
      if (!src.empty()) {
        const xmlNode* label = FirstChild(point, "navLabel");
        entries->push_back({ResolveEntryPath(base, src), Fragment(src),
                            CollapseBlanks(TextOf(label ? FirstChild(label, "text") : nullptr)), level});
      }
      AddNavPoints(point, base, level + 1, entries);
    }
  }

  const TReadLimits& limits_;
  TZipArchive archive_;
};

// The chapters of one content document: each toc entry that points into it
// starts a chapter at its block (an unknown place: the document's start),
// the heading found there being the entry's title, not a paragraph.
void AddDocument(const THtmlContent& content, const std::vector<const TTocEntry*>& entries,
                 TDocumentBuilder* builder) {
  std::unordered_map<std::string, size_t> blockOf;
  for (size_t i = content.blocks.size(); i-- > 0;)
    for (const std::string& id : content.blocks[i].ids) blockOf[id] = i;
  std::multimap<size_t, const TTocEntry*> starts;
  for (const TTocEntry* entry : entries) {
    auto found = entry->fragment.empty() ? blockOf.end() : blockOf.find(entry->fragment);
    starts.emplace(found == blockOf.end() ? 0 : found->second, entry);
  }
  auto next = starts.begin();
  for (size_t i = 0; i < content.blocks.size(); ++i) {
    bool started = false;
    for (; next != starts.end() && next->first == i; ++next) {
      builder->StartChapter(next->second->title, next->second->level);
      started = true;
    }
    const THtmlBlock& block = content.blocks[i];
    if (started && block.kind == THtmlBlock::TKind::Heading) continue;
    AddHtmlBlock(block, false, builder);
  }
  for (; next != starts.end(); ++next) builder->StartChapter(next->second->title, next->second->level);
}

}  // namespace

TDocument ReadEpub(const std::string& content, const TReadOptions& options) {
  TEpub epub(content, options.limits);
  TPackage package = epub.ReadPackage();
  TDocument document;
  document.metadata = package.metadata;
  std::vector<TTocEntry> toc = epub.ReadToc(package);
  std::unordered_map<std::string, std::vector<const TTocEntry*>> entriesOf;
  for (const std::string& path : package.spine) entriesOf[path];
  bool tocUsable = false;
  for (const TTocEntry& entry : toc) {
    auto document = entriesOf.find(entry.path);
    if (document == entriesOf.end()) continue;
    document->second.push_back(&entry);
    tocUsable = true;
  }
  TDocumentBuilder builder(&document);
  for (const std::string& path : package.spine) {
    THtmlContent page;
    try {
      page = ParseHtmlBlocks(epub.Part(path), true, options.limits);
    } catch (const EDocumentError& error) {
      const std::string reason = error.what();
      if (reason.compare(0, kDamaged.size(), kDamaged) == 0 || reason.compare(0, 12, "l'archivio e") == 0)
        throw;
      throw EDocumentError(kDamaged + "il file " + path + ": " + reason);
    }
    if (document.metadata.language.empty()) document.metadata.language = page.language;
    if (tocUsable) {
      AddDocument(page, entriesOf[path], &builder);
    } else {
      for (const THtmlBlock& block : page.blocks) AddHtmlBlock(block, true, &builder);
    }
  }
  builder.Finish();
  return document;
}

}  // namespace documents
