#include "sample_books.h"

#include "documents/zip_maker.h"

namespace {

std::string Page(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<html xmlns=\"http://www.w3.org/1999/xhtml\">"
         "<head><title>x</title></head><body>" + body + "</body></html>";
}

std::string Paragraphs(const std::string& subject, int n) {
  std::string text;
  for (int i = 0; i < n; ++i) text += "<p>" + subject + " " + std::to_string(i) + " va avanti.</p>";
  return text;
}

}  // namespace

std::string NestedEpub(int paragraphs) {
  return MakeZip(
      {{"mimetype", "application/epub+zip", true},
       {"META-INF/container.xml",
        "<?xml version=\"1.0\"?><container version=\"1.0\" xmlns=\"urn:oasis:names:tc:opendocument:"
        "xmlns:container\"><rootfiles><rootfile full-path=\"c.opf\" media-type=\"application/"
        "oebps-package+xml\"/></rootfiles></container>"},
       {"c.opf",
        "<?xml version=\"1.0\"?><package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\">"
        "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>Viaggi &amp; ritorni"
        "</dc:title><dc:creator>Anna Neri</dc:creator><dc:language>it</dc:language>"
        "<dc:date>1999-03-04</dc:date></metadata><manifest>"
        "<item id=\"a\" href=\"a.xhtml\" media-type=\"application/xhtml+xml\"/>"
        "<item id=\"b\" href=\"b.xhtml\" media-type=\"application/xhtml+xml\"/></manifest>"
        "<spine><itemref idref=\"a\"/><itemref idref=\"b\"/></spine></package>"},
       {"a.xhtml", Page("<h1>Parte prima</h1><h2>La partenza</h2><p>Partimmo.</p>"
                        "<h2>Il mare</h2>" + Paragraphs("Il mare", paragraphs) + "<h3>Il porto</h3>"
                        "<p>Arrivammo.</p>")},
       {"b.xhtml", Page("<h1>Parte seconda</h1><h2>Il ritorno</h2><p>Tornammo a casa.</p>")}});
}


std::string TextWithChapters(int sentences) {
  std::string text = "I PROMESSI SPOSI\r\n\r\n";
  for (const char* chapter : {"CAPITOLO I", "CAPITOLO II", "CAPITOLO III"}) {
    text += std::string(chapter) + "\r\n\r\n";
    for (int i = 1; i <= sentences; ++i)
      text += "La frase numero " + std::to_string(i) + " del " + chapter + " racconta la storia.\r\n";
    text += "\r\n";
  }
  return text;
}
