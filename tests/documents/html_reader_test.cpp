#include <gtest/gtest.h>

#include "documents/html_blocks.h"
#include "documents/read_document.h"

namespace documents {
namespace {

using TStrings = std::vector<std::string>;

TDocument Html(const std::string& content) { return ReadDocument(TDocumentKind::Html, content); }

TEST(HtmlReader, HeadingsStartChaptersAndMetadataComesFromTheHead) {
  TDocument document = Html(
      "<!DOCTYPE html><html lang=\"it-IT\"><head><title>Il  libro</title>"
      "<meta name=\"Author\" content=\"Anna Rossi\"><style>p { color: red }</style>"
      "<script>document.write('no')</script></head><body>"
      "<p>Premessa <b>in</b> grassetto.</p>"
      "<h1>Primo <em>capitolo</em></h1><p>Uno.</p><div>Due<br>Tre</div>"
      "<h2 id=\"s\">Sezione</h2><ul><li>voce a</li><li>voce b</li></ul>"
      "<table><tr><td>cella 1</td><td>cella 2</td></tr></table>"
      "<pre>riga uno\nriga due</pre><p>Una <img src=\"x.png\" alt=\"mappa\"> qui.</p>"
      "</body></html>");
  EXPECT_EQ(document.kind, TDocumentKind::Html);
  EXPECT_EQ(document.metadata.title, "Il libro");
  EXPECT_EQ(document.metadata.author, "Anna Rossi");
  EXPECT_EQ(document.metadata.language, "it-IT");
  ASSERT_EQ(document.chapters.size(), 3u);
  EXPECT_EQ(document.chapters[0].title, "");
  EXPECT_EQ(document.chapters[0].paragraphs, TStrings{"Premessa in grassetto."});
  EXPECT_EQ(document.chapters[1].title, "Primo capitolo");
  EXPECT_EQ(document.chapters[1].level, 1);
  EXPECT_EQ(document.chapters[1].paragraphs, (TStrings{"Uno.", "Due", "Tre"}));
  EXPECT_EQ(document.chapters[2].title, "Sezione");
  EXPECT_EQ(document.chapters[2].level, 2);
  EXPECT_EQ(document.chapters[2].paragraphs, (TStrings{"voce a", "voce b", "cella 1", "cella 2",
                                                       "riga uno", "riga due", "Una mappa qui."}));
}

TEST(HtmlReader, DropsWhatIsNotTheText) {
  TDocument document = Html(
      "<html><body><nav><a href=\"/\">Home</a></nav>"
      "<form><input value=\"cerca\"><button>Vai</button><select><option>x</option></select></form>"
      "<p>Pagina<span epub:type=\"pagebreak\" title=\"12\">12</span> seguente.</p>"
      "<p>Fine<span role=\"doc-pagebreak\">13</span>.</p><noscript>Attivare JavaScript</noscript>"
      "</body></html>");
  ASSERT_EQ(document.chapters.size(), 1u);
  EXPECT_EQ(document.chapters[0].paragraphs, (TStrings{"Pagina seguente.", "Fine."}));
  // The menus, search boxes and hidden parts of generated pages, and the
  // marks of their links to each heading.
  document = Html(
      "<html><body><div role=\"navigation\"><h3>Navigazione</h3><p>indice | successivo</p></div>"
      "<h1>Iniziare<a class=\"headerlink\" href=\"#i\">\xC2\xB6</a></h1><p>Testo.</p>"
      "<div role=\"search\"><h3>Ricerca veloce</h3></div><p hidden>Nascosto.</p>"
      "<p aria-hidden=\"true\">Anche.</p></body></html>");
  ASSERT_EQ(document.chapters.size(), 1u);
  EXPECT_EQ(document.chapters[0].title, "Iniziare");
  EXPECT_EQ(document.chapters[0].paragraphs, TStrings{"Testo."});
  // A page wrapped whole in a form still gives its text.
  document = Html("<html><body><form><h1>Titolo</h1><p>Testo.</p><input></form></body></html>");
  ASSERT_EQ(document.chapters.size(), 1u);
  EXPECT_EQ(document.chapters[0].paragraphs, TStrings{"Testo."});
}

TEST(HtmlReader, FootnotesGoToTheChapterThatRefersToThem) {
  TDocument document = Html(
      "<html><body><h1>Uno</h1><p>Frase<a href=\"#n1\" epub:type=\"noteref\">1</a> e altra"
      "<sup><a href=\"#n2\">[2]</a></sup>.</p><p>Vedi <a href=\"#n3\">3</a> capitoli.</p>"
      "<h1>Due</h1><p>Testo<a role=\"doc-noteref\" href=\"#n3\">*</a>.</p>"
      "<section role=\"doc-endnotes\"><ol>"
      "<li id=\"n1\" role=\"doc-endnote\"><p>Prima nota.</p><p>Seguito <a role=\"doc-backlink\" "
      "href=\"#r1\">torna</a></p></li>"
      "<li id=\"n2\">Seconda nota.</li></ol></section>"
      "<aside id=\"n3\" epub:type=\"footnote\">Terza nota.</aside></body></html>");
  ASSERT_EQ(document.chapters.size(), 2u);
  // "3" is a link to a note too: the note marks leave the running text.
  EXPECT_EQ(document.chapters[0].paragraphs, (TStrings{"Frase e altra.", "Vedi capitoli."}));
  EXPECT_EQ(document.chapters[0].notes, (TStrings{"Prima nota. Seguito", "Seconda nota.", "Terza nota."}));
  EXPECT_EQ(document.chapters[1].paragraphs, TStrings{"Testo."});
  EXPECT_TRUE(document.chapters[1].notes.empty());
  // A numbered link to a place that is not a note stays in the text.
  document = Html("<html><body><p>Capitolo <a href=\"#c2\">2</a>.</p><p id=\"c2\">Qui.</p></body></html>");
  EXPECT_EQ(document.chapters[0].paragraphs, (TStrings{"Capitolo 2.", "Qui."}));
}

TEST(HtmlReader, HonoursThePageCharset) {
  // "perché è così" in Latin-1, the page saying so.
  const std::string latin = "perch\xe9 \xe8 cos\xec";
  TDocument declared = Html("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                            "charset=ISO-8859-1\"></head><body><p>" + latin + "</p></body></html>");
  EXPECT_EQ(declared.chapters[0].paragraphs, TStrings{"perch\xc3\xa9 \xc3\xa8 cos\xc3\xac"});
  // Without a charset: UTF-8 when valid, Windows-1252 otherwise (0x80 is the euro sign).
  TDocument guessed = Html("<html><body><p>" + latin + " \x80</p></body></html>");
  EXPECT_EQ(guessed.chapters[0].paragraphs, TStrings{"perch\xc3\xa9 \xc3\xa8 cos\xc3\xac \xe2\x82\xac"});
  TDocument utf8 = Html("<html><head><meta charset=\"utf-8\"></head><body><p>gi\xc3\xb9 &egrave; "
                        "&#8364; &amp; &nbsp;fine</p></body></html>");
  EXPECT_EQ(utf8.chapters[0].paragraphs, TStrings{"gi\xc3\xb9 \xc3\xa8 \xe2\x82\xac & fine"});
}

TEST(HtmlBlocks, XhtmlKeepsIdsAndNamedEntities) {
  const std::string xhtml =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\" "
      "\"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\">\n"
      "<html xmlns=\"http://www.w3.org/1999/xhtml\" xmlns:epub=\"http://www.idpf.org/2007/ops\" "
      "xml:lang=\"it\"><head><title>T</title></head><body>"
      "<a id=\"vuoto\"/><h2 id=\"c1\">Capitolo</h2><p>Perch&eacute; <span id=\"dentro\">s&igrave;</span></p>"
      "<p epub:type=\"footnote\" id=\"f1\">Nota.</p></body></html>";
  THtmlContent content = ParseHtmlBlocks(xhtml, true, TReadLimits{});
  EXPECT_EQ(content.language, "it");
  ASSERT_EQ(content.blocks.size(), 3u);
  EXPECT_EQ(content.blocks[0].kind, THtmlBlock::TKind::Heading);
  EXPECT_EQ(content.blocks[0].ids, (TStrings{"vuoto", "c1"}));
  EXPECT_EQ(content.blocks[1].text, "Perch\xc3\xa9 s\xc3\xac");
  EXPECT_EQ(content.blocks[1].ids, TStrings{"dentro"});
  EXPECT_EQ(content.blocks[2].kind, THtmlBlock::TKind::Note);
  EXPECT_EQ(content.blocks[2].ids, TStrings{"f1"});
  // Not well-formed: read all the same.
  THtmlContent broken = ParseHtmlBlocks("<html><body><p>Uno<p>Due & tre</body></html>", true, TReadLimits{});
  ASSERT_EQ(broken.blocks.size(), 2u);
  EXPECT_EQ(broken.blocks[1].text, "Due & tre");
}

TEST(HtmlBlocks, RefusesNestingBeyondTheLimit) {
  std::string deep;
  for (int i = 0; i < 100; ++i) deep += "<div>";
  deep += "fondo";
  TReadLimits limits;
  limits.maxDepth = 50;
  EXPECT_THROW(ParseHtmlBlocks("<html><body>" + deep + "</body></html>", false, limits), EDocumentError);
  limits.maxDepth = 256;
  EXPECT_EQ(ParseHtmlBlocks("<html><body>" + deep + "</body></html>", false, limits).blocks.size(), 1u);
  // Deeper than the HTML parser goes, the page is refused, not read as
  // empty.
  for (int i = 0; i < 1000; ++i) deep = "<div>" + deep;
  EXPECT_THROW(ParseHtmlBlocks("<html><body>" + deep + "</body></html>", false, limits), EDocumentError);
}

}  // namespace
}  // namespace documents
