#include <gtest/gtest.h>

#include "documents/read_document.h"
#include "documents/zip_maker.h"

namespace documents {
namespace {

using TStrings = std::vector<std::string>;

std::string Page(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" "
         "xmlns:epub=\"http://www.idpf.org/2007/ops\"><head><title>x</title></head><body>" +
         body + "</body></html>";
}

// A book with the package document in OEBPS/, its manifest items and
// spine given as they stand in the OPF.
std::string Book(const std::string& manifest, const std::string& spine, std::vector<TZipEntry> files,
                 bool mimetypeFirst = true) {
  std::vector<TZipEntry> entries = {
      {"mimetype", "application/epub+zip", true},
      {"META-INF/container.xml",
       "<?xml version=\"1.0\"?><container version=\"1.0\" "
       "xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\"><rootfiles><rootfile "
       "full-path=\"OEBPS/content.opf\" media-type=\"application/oebps-package+xml\"/></rootfiles></container>"},
      {"OEBPS/content.opf",
       "<?xml version=\"1.0\"?><package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\">"
       "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>I promessi sposi</dc:title>"
       "<dc:creator>Alessandro Manzoni</dc:creator><dc:creator>Altro Autore</dc:creator>"
       "<dc:language>it</dc:language><dc:date>1840</dc:date></metadata><manifest>" +
           manifest + "</manifest>" + spine + "</package>"}};
  entries.insert(entries.end(), files.begin(), files.end());
  if (!mimetypeFirst) entries.insert(entries.begin(), {"LEGGIMI", "x"});
  return MakeZip(entries);
}

const char kTextItems[] =
    "<item id=\"c1\" href=\"text/c1.xhtml\" media-type=\"application/xhtml+xml\"/>"
    "<item id=\"c2\" href=\"text/c2.xhtml\" media-type=\"application/xhtml+xml\"/>"
    "<item id=\"note\" href=\"text/note.xhtml\" media-type=\"application/xhtml+xml\"/>";

std::vector<TZipEntry> TextFiles() {
  return {{"OEBPS/text/c1.xhtml",
           Page("<p>Frontespizio.</p><h1 id=\"uno\">Capitolo primo</h1><p>Quel ramo<a epub:type=\"noteref\" "
                "href=\"note.xhtml#n1\">1</a> del lago.</p><h2 id=\"s1\">Una sezione</h2><p>Testo"
                "<span epub:type=\"pagebreak\" id=\"p2\" title=\"2\"/> della sezione.</p>")},
          {"OEBPS/text/c2.xhtml",
           Page("<h1>Capitolo secondo</h1><p>Don Abbondio.</p><p>Nota qui<a href=\"#f2\">2</a>.</p>"
                "<aside id=\"f2\" epub:type=\"footnote\">Nota del secondo.</aside>")},
          {"OEBPS/text/note.xhtml",
           Page("<section epub:type=\"endnotes\"><ol><li id=\"n1\">Il lago di Como.</li></ol></section>")}};
}

TDocument Epub(const std::string& bytes, const TReadOptions& options = {}) {
  return ReadDocument(TDocumentKind::Epub, bytes, options);
}

void ExpectChapters(const TDocument& document, const std::vector<std::pair<std::string, int>>& expected) {
  ASSERT_EQ(document.chapters.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(document.chapters[i].title, expected[i].first) << i;
    EXPECT_EQ(document.chapters[i].level, expected[i].second) << i;
  }
}

TEST(EpubReader, Epub3ChaptersComeFromTheNavigationDocument) {
  std::string nav = Page(
      "<nav epub:type=\"landmarks\"><ol><li><a href=\"c2.xhtml\">Inizio</a></li></ol></nav>"
      "<nav epub:type=\"toc\"><h1>Indice</h1><ol>"
      "<li><a href=\"text/c1.xhtml#uno\">Primo</a><ol><li><a href=\"text/c1.xhtml#s1\">Sezione</a></li></ol></li>"
      "<li><a href=\"text/c2.xhtml\">Secondo</a></li></ol></nav>");
  std::vector<TZipEntry> files = TextFiles();
  files.push_back({"OEBPS/nav.xhtml", nav});
  TDocument document = Epub(Book(std::string(kTextItems) +
                                     "<item id=\"nav\" href=\"nav.xhtml\" media-type=\"application/xhtml+xml\" "
                                     "properties=\"nav\"/>",
                                 "<spine><itemref idref=\"nav\"/><itemref idref=\"c1\"/><itemref idref=\"c2\"/>"
                                 "<itemref idref=\"note\"/></spine>",
                                 files));
  EXPECT_EQ(document.kind, TDocumentKind::Epub);
  EXPECT_EQ(document.metadata.title, "I promessi sposi");
  EXPECT_EQ(document.metadata.author, "Alessandro Manzoni, Altro Autore");
  EXPECT_EQ(document.metadata.language, "it");
  EXPECT_EQ(document.metadata.date, "1840");
  ExpectChapters(document, {{"", 1}, {"Primo", 1}, {"Sezione", 2}, {"Secondo", 1}});
  EXPECT_EQ(document.chapters[0].paragraphs, TStrings{"Frontespizio."});
  // The heading where a chapter starts is its title, not a paragraph.
  EXPECT_EQ(document.chapters[1].paragraphs, TStrings{"Quel ramo del lago."});
  EXPECT_EQ(document.chapters[2].paragraphs, TStrings{"Testo della sezione."});
  EXPECT_EQ(document.chapters[3].paragraphs, (TStrings{"Don Abbondio.", "Nota qui."}));
  // A note of the page goes to its chapter; the endnotes file, with no
  // entry of its own, belongs to the chapter before it.
  EXPECT_EQ(document.chapters[3].notes, (TStrings{"Nota del secondo.", "Il lago di Como."}));
}

TEST(EpubReader, Epub2ChaptersComeFromTheNcxAndWithoutOneFromTheHeadings) {
  std::string ncx =
      "<?xml version=\"1.0\"?><ncx xmlns=\"http://www.daisy.org/z3986/2005/ncx/\"><navMap>"
      "<navPoint><navLabel><text>Primo</text></navLabel><content src=\"text/c1.xhtml#uno\"/>"
      "<navPoint><navLabel><text>Sezione</text></navLabel><content src=\"text/c1.xhtml#s1\"/></navPoint>"
      "</navPoint><navPoint><navLabel><text>Note</text></navLabel><content src=\"text/note.xhtml\"/></navPoint>"
      "</navMap></ncx>";
  std::vector<TZipEntry> files = TextFiles();
  files.push_back({"OEBPS/toc.ncx", ncx});
  const std::string items =
      std::string(kTextItems) + "<item id=\"ncx\" href=\"toc.ncx\" media-type=\"application/x-dtbncx+xml\"/>";
  // c2 is outside the reading order: read after it.
  const std::string spine =
      "<spine toc=\"ncx\"><itemref idref=\"c1\"/><itemref idref=\"c2\" linear=\"no\"/>"
      "<itemref idref=\"note\"/></spine>";
  TDocument document = Epub(Book(items, spine, files));
  ExpectChapters(document, {{"", 1}, {"Primo", 1}, {"Sezione", 2}, {"Note", 1}});
  EXPECT_EQ(document.chapters[3].notes, (TStrings{"Il lago di Como.", "Nota del secondo."}));
  EXPECT_EQ(document.chapters[3].paragraphs, (TStrings{"Capitolo secondo", "Don Abbondio.", "Nota qui."}));

  files.pop_back();
  document = Epub(Book(kTextItems, "<spine><itemref idref=\"c1\"/><itemref idref=\"c2\"/></spine>", files));
  ExpectChapters(document, {{"", 1}, {"Capitolo primo", 1}, {"Una sezione", 2}, {"Capitolo secondo", 1}});
  EXPECT_EQ(document.chapters[3].notes, TStrings{"Nota del secondo."});
}

// As some packers make them: the mimetype not first, and items whose hrefs
// carry fragments naming one file several times in the spine.
TEST(EpubReader, AFileNamedByManyItemsIsReadOnceAndTheMimetypeMayComeLater) {
  const std::string items =
      "<item id=\"a\" href=\"text/c1.xhtml#uno\" media-type=\"application/xhtml+xml\"/>"
      "<item id=\"b\" href=\"text/c1.xhtml#s1\" media-type=\"application/xhtml+xml\"/>"
      "<item id=\"c\" href=\"text/c2.xhtml\" media-type=\"application/xhtml+xml\"/>";
  std::string book = Book(items,
                          "<spine><itemref idref=\"a\"/><itemref idref=\"b\"/><itemref idref=\"c\"/>"
                          "<itemref idref=\"b\"/></spine>",
                          TextFiles());
  ExpectChapters(Epub(book), {{"", 1}, {"Capitolo primo", 1}, {"Una sezione", 2}, {"Capitolo secondo", 1}});
  book = Book(kTextItems, "<spine><itemref idref=\"c1\"/></spine>", TextFiles(), false);
  EXPECT_EQ(RecogniseDocument(book, "libro.epub"), TDocumentKind::Epub);
}

std::string ErrorOf(const std::string& bytes, const TReadOptions& options = {}) {
  try {
    Epub(bytes, options);
  } catch (const EDocumentError& error) {
    return error.what();
  }
  return "";
}

TEST(EpubReader, DamagedBooksAreRefusedWithTheReason) {
  const std::string spine = "<spine><itemref idref=\"c1\"/></spine>";
  const std::string book = Book(kTextItems, spine, TextFiles());
  EXPECT_EQ(ErrorOf(book.substr(0, book.size() - 30)), "l'archivio e' danneggiato");
  EXPECT_EQ(ErrorOf(MakeZip({{"mimetype", "application/epub+zip", true}})),
            "il libro EPUB e' danneggiato: manca il file META-INF/container.xml");
  EXPECT_EQ(ErrorOf(Book(kTextItems, spine, {})), "il libro EPUB e' danneggiato: manca il file OEBPS/text/c1.xhtml");
  EXPECT_EQ(ErrorOf(MakeZip({{"META-INF/container.xml", "<container><rootfiles>"}}))
                .find("il libro EPUB e' danneggiato: il file META-INF/container.xml"),
            0u);
  // A bomb among the chapters stops at the limit.
  std::vector<TZipEntry> files = TextFiles();
  files[0].content = Page("<p>" + std::string(size_t{100} << 20, ' ') + "</p>");
  TReadOptions options;
  options.limits.maxUncompressed = size_t{4} << 20;
  EXPECT_EQ(ErrorOf(Book(kTextItems, spine, files), options), "l'archivio e' troppo grande una volta decompresso");
}

}  // namespace
}  // namespace documents
