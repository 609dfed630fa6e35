// The ODT and DOCX readers on archives made here, their parts shaped as
// word processors and converters write them.
#include <gtest/gtest.h>

#include <functional>

#include "documents/readers.h"
#include "documents/reader_errors.h"
#include "documents/zip_maker.h"

namespace documents {
namespace {


// ---- ODT

const char kOdtNamespaces[] =
    " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
    " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
    " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
    " xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\""
    " xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\""
    " xmlns:dc=\"http://purl.org/dc/elements/1.1/\""
    " xmlns:meta=\"urn:oasis:names:tc:opendocument:xmlns:meta:1.0\"";

std::string OdtContent(const std::string& text) {
  return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-content") +
         kOdtNamespaces + "><office:body><office:text>" + text +
         "</office:text></office:body></office:document-content>";
}

std::string Odt(const std::string& content, const std::string& meta = "") {
  std::vector<TZipEntry> entries = {{"mimetype", "application/vnd.oasis.opendocument.text", true},
                                    {"content.xml", content}};
  if (!meta.empty()) entries.push_back({"meta.xml", meta});
  return MakeZip(entries);
}

TEST(OdtReader, ReadsChaptersParagraphsNotesAndMetadata) {
  const std::string content = OdtContent(
      "<text:tracked-changes><text:changed-region text:id=\"c1\"><text:deletion>"
      "<text:p>testo cancellato</text:p></text:deletion></text:changed-region></text:tracked-changes>"
      "<text:p text:style-name=\"Title\">Il mio libro</text:p>"
      "<text:h text:outline-level=\"1\"><text:bookmark-start text:name=\"a\"/>Primo capitolo"
      "<text:bookmark-end text:name=\"a\"/></text:h>"
      "<text:p>Testo con <text:span>enfasi</text:span> e una nota<text:note text:id=\"ftn0\" "
      "text:note-class=\"footnote\"><text:note-citation>1</text:note-citation><text:note-body>"
      "<text:p>Questa \xc3\xa8 la nota.</text:p></text:note-body></text:note> qui.</text:p>"
      "<text:h text:outline-level=\"2\">Sezione uno</text:h>"
      "<text:list><text:list-item><text:p>voce<text:s text:c=\"3\"/>uno</text:p></text:list-item>"
      "<text:list-item><text:p>voce<text:tab/>due<text:line-break/>fine</text:p></text:list-item></text:list>"
      "<table:table><table:table-row><table:table-cell><text:p>c1</text:p></table:table-cell>"
      "<table:table-cell><text:p>c2</text:p></table:table-cell></table:table-row></table:table>"
      "<text:p><draw:frame draw:name=\"img1\"><draw:image/><svg:title>Una foto del lago</svg:title>"
      "</draw:frame></text:p><text:p>Una foto del lago</text:p>"
      "<text:h text:outline-level=\"1\">Secondo capitolo</text:h>"
      "<text:p>Fine<text:note text:note-class=\"endnote\"><text:note-citation>i</text:note-citation>"
      "<text:note-body><text:p>Prima parte.</text:p><text:p>Seconda parte.</text:p></text:note-body>"
      "</text:note>.<office:annotation><text:p>un commento</text:p></office:annotation></text:p>");
  const std::string meta = std::string("<office:document-meta") + kOdtNamespaces +
                           "><office:meta><dc:title>Il mio libro</dc:title>"
                           "<meta:initial-creator>Mario Rossi; Anna Bianchi</meta:initial-creator>"
                           "<dc:language>it-IT</dc:language><dc:date>2020-01-02</dc:date>"
                           "</office:meta></office:document-meta>";
  TDocument document = ReadOdt(Odt(content, meta), TReadOptions{});

  EXPECT_EQ(document.metadata.title, "Il mio libro");
  EXPECT_EQ(document.metadata.author, "Mario Rossi, Anna Bianchi");
  EXPECT_EQ(document.metadata.language, "it-IT");
  EXPECT_EQ(document.metadata.date, "2020-01-02");
  ASSERT_EQ(document.chapters.size(), 4u);
  EXPECT_EQ(document.chapters[0].title, "");
  EXPECT_EQ(document.chapters[0].paragraphs, std::vector<std::string>{"Il mio libro"});
  EXPECT_EQ(document.chapters[1].title, "Primo capitolo");
  EXPECT_EQ(document.chapters[1].level, 1);
  EXPECT_EQ(document.chapters[1].paragraphs, std::vector<std::string>{"Testo con enfasi e una nota qui."});
  EXPECT_EQ(document.chapters[1].notes, std::vector<std::string>{"Questa \xc3\xa8 la nota."});
  EXPECT_EQ(document.chapters[2].title, "Sezione uno");
  EXPECT_EQ(document.chapters[2].level, 2);
  EXPECT_EQ(document.chapters[2].paragraphs,
            (std::vector<std::string>{"voce uno", "voce due fine", "c1", "c2", "Una foto del lago"}));
  EXPECT_EQ(document.chapters[3].paragraphs, std::vector<std::string>{"Fine."});
  EXPECT_EQ(document.chapters[3].notes, std::vector<std::string>{"Prima parte. Seconda parte."});
}

TEST(OdtReader, TellsWhatIsWrongWithTheArchive) {
  EXPECT_EQ(ErrorOf([] { ReadOdt(MakeZip({{"meta.xml", "<a/>"}}), TReadOptions{}); }),
            "manca il file content.xml");
  EXPECT_EQ(ErrorOf([] { ReadOdt(Odt("<office:document-content><office:body>"), TReadOptions{}); }),
            "il file content.xml non e' XML valido");
  EXPECT_EQ(ErrorOf([] { ReadOdt(Odt(OdtContent("<text:p> </text:p>")), TReadOptions{}); }),
            "il documento non contiene testo");
  // A damaged meta.xml costs the metadata, not the book.
  TDocument document = ReadOdt(Odt(OdtContent("<text:p>Testo</text:p>"), "<office:document-meta>"), {});
  EXPECT_EQ(document.metadata.title, "");
  ASSERT_EQ(document.chapters.size(), 1u);
  EXPECT_EQ(document.chapters[0].paragraphs, std::vector<std::string>{"Testo"});
}

TEST(OdtReader, BoundsTheNesting) {
  std::string deep;
  for (int i = 0; i < 40; ++i) deep += "<text:span>";
  deep += "profondo";
  for (int i = 0; i < 40; ++i) deep += "</text:span>";
  const std::string archive = Odt(OdtContent("<text:p>" + deep + "</text:p>"));
  EXPECT_EQ(ReadOdt(archive, TReadOptions{}).chapters[0].paragraphs[0], "profondo");
  TReadOptions shallow;
  shallow.limits.maxDepth = 20;
  EXPECT_EQ(ErrorOf([&] { ReadOdt(archive, shallow); }),
            "il file content.xml ha elementi annidati troppo in profondita'");
}

// ---- DOCX

const char kWord[] = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
                     "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
                     "xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\"";

std::string Part(const char* root, const std::string& inside) {
  return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:") + root + " " + kWord + ">" + inside +
         "</w:" + root + ">";
}

std::string Paragraph(const std::string& style, const std::string& runs) {
  return "<w:p><w:pPr>" + (style.empty() ? "" : "<w:pStyle w:val=\"" + style + "\"/>") +
         "<w:tabs><w:tab w:val=\"left\" w:pos=\"720\"/></w:tabs></w:pPr>" + runs + "</w:p>";
}

std::string TextRun(const std::string& text) { return "<w:r><w:t xml:space=\"preserve\">" + text + "</w:t></w:r>"; }

std::string Docx(const std::string& body, std::vector<TZipEntry> more = {}) {
  more.insert(more.begin(), {"word/document.xml", Part("document", "<w:body>" + body + "<w:sectPr/></w:body>")});
  more.insert(more.begin(), {"[Content_Types].xml", "<Types/>"});
  return MakeZip(more);
}

// Italian Word names its heading styles Titolo1...; the level is the
// outline level of the style or of the one it is based on.
const std::string kStyles = Part(
    "styles",
    "<w:style w:type=\"paragraph\" w:styleId=\"Titolo1\"><w:name w:val=\"heading 1\"/>"
    "<w:pPr><w:outlineLvl w:val=\"0\"/></w:pPr></w:style>"
    "<w:style w:type=\"paragraph\" w:styleId=\"Capitoletto\"><w:name w:val=\"Capitoletto\"/>"
    "<w:basedOn w:val=\"Sotto\"/></w:style>"
    "<w:style w:type=\"paragraph\" w:styleId=\"Sotto\"><w:name w:val=\"Sotto\"/>"
    "<w:pPr><w:outlineLvl w:val=\"2\"/></w:pPr></w:style>"
    "<w:style w:type=\"paragraph\" w:styleId=\"Title\"><w:name w:val=\"Title\"/></w:style>"
    "<w:style w:type=\"paragraph\" w:styleId=\"Corpo\"><w:name w:val=\"Corpo\"/>"
    "<w:pPr><w:outlineLvl w:val=\"9\"/></w:pPr></w:style>");

const std::string kFootnotes = Part(
    "footnotes",
    "<w:footnote w:type=\"continuationSeparator\" w:id=\"0\"><w:p><w:r><w:continuationSeparator/></w:r></w:p></w:footnote>"
    "<w:footnote w:type=\"separator\" w:id=\"-1\"><w:p><w:r><w:separator/></w:r></w:p></w:footnote>"
    "<w:footnote w:id=\"20\"><w:p><w:r><w:footnoteRef/></w:r>" + TextRun(" ") + TextRun("Questa nota.") +
        "</w:p></w:footnote>");

const std::string kEndnotes = Part(
    "endnotes", "<w:endnote w:id=\"20\"><w:p><w:r><w:endnoteRef/></w:r>" + TextRun("Nota finale.") + "</w:p></w:endnote>");

TEST(DocxReader, ReadsChaptersParagraphsNotesAndMetadata) {
  const std::string body =
      Paragraph("Title", TextRun("Il mio libro")) +
      "<w:bookmarkStart w:id=\"25\" w:name=\"primo\"/>" + Paragraph("Titolo1", TextRun("Primo capitolo")) +
      Paragraph("FirstParagraph", TextRun("Testo con") + TextRun(" ") + TextRun("una nota") +
                                      "<w:r><w:footnoteReference w:id=\"20\"/></w:r>" + TextRun(" qui.")) +
      Paragraph("Capitoletto", TextRun("Sezione")) +
      Paragraph("", TextRun("prima") + "<w:r><w:tab/></w:r>" + TextRun("poi") + "<w:r><w:br/></w:r>" + TextRun("dopo") +
                        "<w:del w:id=\"3\"><w:r><w:delText>cancellato</w:delText></w:r></w:del>" +
                        "<w:ins w:id=\"4\"><w:r><w:t> aggiunto</w:t></w:r></w:ins>") +
      "<w:tbl><w:tr><w:tc>" + Paragraph("Compact", TextRun("c1")) + "</w:tc><w:tc>" + Paragraph("Corpo", TextRun("c2")) +
      "</w:tc></w:tr></w:tbl>" +
      Paragraph("CaptionedFigure", "<w:r><w:drawing><wp:inline><wp:docPr descr=\"Una foto del lago\" id=\"22\" "
                                   "name=\"Picture\"/></wp:inline></w:drawing></w:r>") +
      Paragraph("ImageCaption", TextRun("Una foto del lago")) +
      "<w:p><w:pPr><w:outlineLvl w:val=\"0\"/></w:pPr>" + TextRun("Secondo") + "</w:p>" +
      Paragraph("Heading2", TextRun("Fine") + "<w:r><w:endnoteReference w:id=\"20\"/></w:r>") +
      "<w:p><w:r><mc:AlternateContent><mc:Choice><w:drawing><w:txbxContent>" + Paragraph("", TextRun("Nel riquadro")) +
      "</w:txbxContent></w:drawing></mc:Choice><mc:Fallback><w:pict><w:txbxContent>" +
      Paragraph("", TextRun("Nel riquadro")) + "</w:txbxContent></w:pict></mc:Fallback></mc:AlternateContent></w:r></w:p>";
  const std::string core =
      "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
      "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\">"
      "<dc:title>Il mio libro</dc:title><dc:creator>Mario Rossi; Anna Bianchi</dc:creator>"
      "<dc:language>it-IT</dc:language><dcterms:created>2020-01-02T10:00:00Z</dcterms:created>"
      "</cp:coreProperties>";
  TDocument document = ReadDocx(Docx(body, {{"word/styles.xml", kStyles},
                                            {"word/footnotes.xml", kFootnotes},
                                            {"word/endnotes.xml", kEndnotes},
                                            {"docProps/core.xml", core}}),
                                TReadOptions{});

  EXPECT_EQ(document.metadata.title, "Il mio libro");
  EXPECT_EQ(document.metadata.author, "Mario Rossi, Anna Bianchi");
  EXPECT_EQ(document.metadata.language, "it-IT");
  EXPECT_EQ(document.metadata.date, "2020-01-02T10:00:00Z");
  ASSERT_EQ(document.chapters.size(), 5u);
  EXPECT_EQ(document.chapters[0].paragraphs, std::vector<std::string>{"Il mio libro"});
  EXPECT_EQ(document.chapters[1].title, "Primo capitolo");
  EXPECT_EQ(document.chapters[1].level, 1);
  EXPECT_EQ(document.chapters[1].paragraphs, std::vector<std::string>{"Testo con una nota qui."});
  EXPECT_EQ(document.chapters[1].notes, std::vector<std::string>{"Questa nota."});
  EXPECT_EQ(document.chapters[2].title, "Sezione");
  EXPECT_EQ(document.chapters[2].level, 3);
  EXPECT_EQ(document.chapters[2].paragraphs,
            (std::vector<std::string>{"prima poi dopo aggiunto", "c1", "c2", "Una foto del lago"}));
  EXPECT_EQ(document.chapters[3].title, "Secondo");
  EXPECT_EQ(document.chapters[3].level, 1);
  EXPECT_EQ(document.chapters[4].title, "Fine");
  EXPECT_EQ(document.chapters[4].level, 2);
  EXPECT_EQ(document.chapters[4].notes, std::vector<std::string>{"Nota finale."});
  EXPECT_EQ(document.chapters[4].paragraphs, std::vector<std::string>{"Nel riquadro"});
}

TEST(DocxReader, TellsHeadingsByStyleNameWithoutStyles) {
  TDocument document = ReadDocx(Docx(Paragraph("Heading1", TextRun("Uno")) + Paragraph("Titolo2", TextRun("Due")) +
                                     Paragraph("Titolo", TextRun("Non un titolo"))),
                                TReadOptions{});
  ASSERT_EQ(document.chapters.size(), 2u);
  EXPECT_EQ(document.chapters[0].title, "Uno");
  EXPECT_EQ(document.chapters[1].title, "Due");
  EXPECT_EQ(document.chapters[1].level, 2);
  EXPECT_EQ(document.chapters[1].paragraphs, std::vector<std::string>{"Non un titolo"});
}

TEST(DocxReader, TellsWhatIsWrongWithTheArchive) {
  EXPECT_EQ(ErrorOf([] { ReadDocx(MakeZip({{"[Content_Types].xml", "<Types/>"}}), TReadOptions{}); }),
            "manca il file word/document.xml");
  EXPECT_EQ(ErrorOf([] {
              ReadDocx(MakeZip({{"word/document.xml", "<w:document><w:body><w:p>"}}), TReadOptions{});
            }),
            "il file word/document.xml non e' XML valido");
  EXPECT_EQ(ErrorOf([] {
              ReadDocx(Docx(Paragraph("", TextRun("a")), {{"word/footnotes.xml", "<w:footnotes>&"}}), TReadOptions{});
            }),
            "il file word/footnotes.xml non e' XML valido");
  EXPECT_EQ(ErrorOf([] {
              ReadDocx(Docx(Paragraph("", "<w:del><w:r><w:delText>via</w:delText></w:r></w:del>")), TReadOptions{});
            }),
            "il documento non contiene testo");
  EXPECT_FALSE(ErrorOf([] { ReadDocx("PK\x03\x04 non un archivio", TReadOptions{}); }).empty());
}

}  // namespace
}  // namespace documents
