// Books as people have them: an EPUB, a web page and a text with chapter
// headings, converted with the fake libraries (each MP3 file holds the text
// spoken into it): a file per chapter, the chapter titles in the tags, the
// playlist, the listing, and "/R" on a book.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "conversion_fixture.h"
#include "documents/zip_maker.h"

namespace {

using Books = Conversion;

std::string Paragraphs(const std::string& word, int n) {
  std::string text;
  for (int i = 0; i < n; ++i)
    text += "<p>" + word + " " + std::to_string(i) + " va avanti nella sua storia lunga.</p>\n";
  return text;
}

std::string Xhtml(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<html xmlns=\"http://www.w3.org/1999/xhtml\" xmlns:epub=\"http://www.idpf.org/2007/ops\">"
         "<head><title>x</title><link rel=\"stylesheet\" href=\"stile.css\"/></head><body>" +
         body + "</body></html>";
}

// An EPUB 3 book of three chapters, the second about 2.5 KB (with the
// paragraphs given), with a footnote and a page-break marker that are not
// read.
std::string Book(int seaParagraphs = 50) {
  const std::string opf =
      "<?xml version=\"1.0\"?><package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\">"
      "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>Il viaggio</dc:title>"
      "<dc:creator>Anna Neri</dc:creator><dc:language>it</dc:language></metadata><manifest>"
      "<item id=\"nav\" href=\"nav.xhtml\" media-type=\"application/xhtml+xml\" properties=\"nav\"/>"
      "<item id=\"c1\" href=\"testo/c1.xhtml\" media-type=\"application/xhtml+xml\"/>"
      "<item id=\"c2\" href=\"testo/c2.xhtml\" media-type=\"application/xhtml+xml\"/>"
      "</manifest><spine><itemref idref=\"c1\"/><itemref idref=\"c2\"/></spine></package>";
  const std::string nav = Xhtml(
      "<nav epub:type=\"toc\"><ol><li><a href=\"testo/c1.xhtml\">La partenza</a></li>"
      "<li><a href=\"testo/c2.xhtml\">Il mare</a><ol><li><a href=\"testo/c2.xhtml#porto\">"
      "Il porto</a></li></ol></li></ol></nav>");
  const std::string c1 = Xhtml(
      "<h1>La partenza</h1><p>Partimmo all'alba<a epub:type=\"noteref\" href=\"#n1\">1</a>."
      "</p><span epub:type=\"pagebreak\" id=\"p7\">7</span><p>Il cielo era chiaro.</p>"
      "<aside epub:type=\"footnote\" id=\"n1\"><p>Nota nascosta.</p></aside>");
  const std::string c2 = Xhtml("<h1>Il mare</h1>" + Paragraphs("Il mare", seaParagraphs) +
                               "<h2 id=\"porto\">Il porto</h2><p>Arrivammo al porto.</p>");
  return MakeZip({{"mimetype", "application/epub+zip", true},
                  {"META-INF/container.xml",
                   "<?xml version=\"1.0\"?><container version=\"1.0\" xmlns=\"urn:oasis:names:tc:"
                   "opendocument:xmlns:container\"><rootfiles><rootfile full-path=\"OEBPS/"
                   "content.opf\" media-type=\"application/oebps-package+xml\"/></rootfiles>"
                   "</container>"},
                  {"OEBPS/content.opf", opf},
                  {"OEBPS/nav.xhtml", nav},
                  {"OEBPS/testo/c1.xhtml", c1},
                  {"OEBPS/testo/c2.xhtml", c2}});
}

// What a file says: its bytes without the silence of the pauses.
std::string Spoken(std::string file) {
  file.erase(std::remove(file.begin(), file.end(), '\0'), file.end());
  return file;
}

// The UTF-16 text frame of an ID3v2.3 tag as the program writes it.
std::string Frame(const std::string& id, const std::string& ascii) {
  std::string body = "\x01\xFF\xFE";
  for (char c : ascii) body += std::string{c, '\0'};
  std::string size = {'\0', '\0', '\0', static_cast<char>(body.size())};
  return id + size + std::string(2, '\0') + body;
}

TEST_F(Books, AnEpubGivesAFileAChapterWithItsTitlesTagsAndPlaylist) {
  Configure("F=1\r\nID3TAG=V2\r\n");
  folder_.Write("viaggio.epub", Book());
  RunResult run = Convert({"/VB=0", "viaggio.epub"});
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(Listing("out/viaggio"), "001.mp3\n002.mp3\n003.mp3\n004.mp3\nviaggio.m3u8\n");

  // The first chapter is shorter than a tenth of the fragments' size: it
  // shares its file with the second, which goes on in two more; the third
  // starts a file of its own after a chapter that is not that short.
  const std::string first = Out("viaggio/001.mp3");
  EXPECT_NE(Spoken(first).find("la partenza\r\npartimmo all'alba.\r\nil cielo era chiaro.\r\nil mare\r\n"),
            std::string::npos);
  for (const char* hidden : {"nota nascosta", "stile", "css", "7\r\n", "1."})
    EXPECT_EQ(first.find(hidden), std::string::npos) << hidden;
  EXPECT_NE(first.find(Frame("TIT2", "La partenza")), std::string::npos);
  EXPECT_NE(first.find(Frame("TPE1", "Anna Neri")), std::string::npos);
  EXPECT_NE(first.find(Frame("TALB", "Il viaggio")), std::string::npos);
  EXPECT_NE(first.find(Frame("TRCK", "1/4")), std::string::npos);
  // A file that goes on with a chapter says its title first (TITOLO).
  const std::string second = Out("viaggio/002.mp3");
  EXPECT_NE(second.find(Frame("TIT2", "Il mare (2/3)")), std::string::npos);
  EXPECT_NE(Spoken(second).find("il mare.\r\n\r\nil mare 22 va"), std::string::npos);
  const std::string last = Out("viaggio/004.mp3");
  EXPECT_NE(last.find(Frame("TRCK", "4/4")), std::string::npos);
  // The ID3v1 tag: the chapter's title and the author.
  EXPECT_EQ(last.substr(last.size() - 128, 3), "TAG");
  EXPECT_EQ(last.substr(last.size() - 95, 9), "Anna Neri");

  const std::string playlist = Out("viaggio/viaggio.m3u8");
  EXPECT_EQ(playlist.rfind("#EXTM3U\n", 0), 0u);
  EXPECT_NE(playlist.find(",La partenza\n001.mp3\n"), std::string::npos) << playlist;
  EXPECT_NE(playlist.find(",Il mare (3/3)\n003.mp3\n"), std::string::npos) << playlist;
  EXPECT_NE(playlist.find("#EXT-X-ENDLIST\n"), std::string::npos);
}

// A text after a book in the same run keeps nothing of the book's tags.
TEST_F(Books, ATextAfterABookHasTheTagsOfAText) {
  Configure("F=1\r\nID3TAG=S\r\n");
  folder_.Write("viaggio.epub", Book());
  folder_.Write("frasi.txt", Sentences(3));
  RunResult run = Convert({"/VB=0", "viaggio.epub", "frasi.txt"});
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  const std::string tag = Out("frasi/001.mp3").substr(Out("frasi/001.mp3").size() - 128);
  EXPECT_EQ(tag.substr(3, 8), "Track 1" + std::string(1, '\0'));
  EXPECT_EQ(tag.substr(33, 14), "Narravox 1.06f");
}

TEST_F(Books, TheListingShowsWhatARunWouldMakeAndWritesNothing) {
  Configure("F=1\r\n");
  folder_.Write("viaggio.epub", Book());
  folder_.Write("pagina.html",
                "<html lang=\"it\"><head><title>Una pagina</title><script>var x=1;</script>"
                "</head><body><nav><a href=\"/\">Home</a></nav><h1>Primo</h1><p>Uno.</p>"
                "<h2>Secondo</h2><p>Due &egrave; tre.</p><form><input name=\"q\"/></form>"
                "</body></html>");
  RunResult run = Convert({"/ELENCO", "viaggio.epub", "pagina.html"});
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_NE(run.output.find("Testo 1 di 2: \"" + folder_.File("viaggio.epub") +
                            "\"\n  Tipo: EPUB\n  Titolo: \"Il viaggio\"\n  Autore: \"Anna Neri\"\n"
                            "  Lingua: it\n  Cartella: \"" + folder_.File("out/viaggio") +
                            "\"\n  Capitoli: 3\n    1. \"La partenza\" (livello 1, "),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("    3. \"Il porto\" (livello 2, 27 caratteri)\n  File MP3: 4\n"
                            "    001.mp3: \"La partenza\"\n    002.mp3: \"Il mare (2/3)\"\n"),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("  Tipo: HTML\n  Titolo: \"Una pagina\"\n  Lingua: it\n"),
            std::string::npos);
  EXPECT_NE(run.output.find("  Capitoli: 2\n    1. \"Primo\" (livello 1, 9 caratteri)\n"
                            "    2. \"Secondo\" (livello 2, 17 caratteri)\n  File MP3: 1\n"),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("Testi elencati: 2; saltati: 0; file MP3 che la conversione "
                            "creerebbe: 5\n"),
            std::string::npos);
  EXPECT_FALSE(folder_.Exists("out"));
  EXPECT_FALSE(folder_.Exists("narravox.dat"));
}

TEST_F(Books, APlainTextWithChaptersAndWithoutThem) {
  std::string text = "I PROMESSI SPOSI\r\n\r\n";
  for (const char* chapter : {"CAPITOLO I", "CAPITOLO II", "CAPITOLO III"})
    text += std::string(chapter) + "\r\n\r\n" + Sentences(12) + "\r\n";
  Configure("F=1\r\n");
  folder_.Write("sposi.txt", text);
  RunResult run = Convert({"/VB=0", "sposi.txt"});
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(Listing("out/sposi"), "001.mp3\n002.mp3\n003.mp3\nsposi.m3u8\n");
  EXPECT_EQ(Out("sposi/002.mp3").find("capitolo ii\r\n"), 0u);
  EXPECT_NE(Out("sposi/sposi.m3u8").find(",Capitolo II\n002.mp3\n"), std::string::npos)
      << Out("sposi/sposi.m3u8");

  // Without chapters the text is cut by size alone, as ever.
  run = Convert({"/VB=0", "/CC=N", "/CA=N", "sposi.txt"});
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_FALSE(OutExists("sposi/sposi.m3u8"));
  EXPECT_EQ(Out("sposi/001.mp3").find("sposi 1.\r\n\r\ni promessi sposi"), 0u);
}

TEST_F(Books, AnInterruptedBookResumesToTheSameFilesAndAChangedOneIsRefused) {
  const std::string lines = "F=1\r\nID3TAG=V2\r\n";
  Configure(lines);
  folder_.Write("viaggio.epub", Book());
  RunResult whole = Convert({"/VB=0", "viaggio.epub"});
  ASSERT_EQ(whole.exitCode, 0) << whole.errors;
  const std::string reference = Tree(folder_);

  std::filesystem::remove_all(folder_.File("out"));
  RunResult failed = Convert({"/VB=0", "/PA=1", "viaggio.epub"}, "",
                             {{"NARRAVOX_FAKE_ENC_FAIL", "beInitStream:3:2"}});
  EXPECT_TRUE(StoppedWith(failed, "Errore encoder MP3 (codice 2)"));
  RunResult resumed = Convert({"/R", "/VB=0"});
  EXPECT_EQ(resumed.exitCode, 0) << resumed.errors;
  EXPECT_EQ(Tree(folder_), reference);

  std::filesystem::remove_all(folder_.File("out"));
  failed = Convert({"/VB=0", "/PA=1", "viaggio.epub"}, "",
                   {{"NARRAVOX_FAKE_ENC_FAIL", "beInitStream:3:2"}});
  std::string changed = Book();
  changed[changed.size() / 2] ^= 1;
  folder_.Write("viaggio.epub", changed);
  resumed = Convert({"/R", "/VB=0"});
  EXPECT_EQ(resumed.exitCode, 1);
  EXPECT_EQ(resumed.errors, "* ERRORE: il testo \"" + folder_.File("viaggio.epub") +
                                "\" e' cambiato dopo l'interruzione e non puo' essere ripreso; "
                                "viene saltato: convertirlo di nuovo senza /R\n");
}

// A book's progress counts the text it gives, not its compressed bytes:
// the files' percentages grow evenly, not to 100 long before the end.
TEST_F(Books, TheProgressOfABookFollowsItsText) {
  Configure("F=1\r\n");
  folder_.Write("viaggio.epub", Book(200));
  RunResult run = Convert({"/VB=2", "/PA=1", "viaggio.epub"});
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  std::vector<int> percents;
  for (size_t at = 0; (at = run.output.find("\nFile ", at)) != std::string::npos; ++at) {
    if (!std::isdigit(static_cast<unsigned char>(run.output[at + 6]))) continue;  // the summary
    const size_t colon = run.output.find("): ", at);
    percents.push_back(std::stoi(run.output.substr(colon + 3)));
  }
  ASSERT_GT(percents.size(), 5u) << run.output;
  EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end())) << run.output;
  const int beforeLast = percents[percents.size() - 2];
  EXPECT_GT(beforeLast, 70) << run.output;
  EXPECT_LT(beforeLast, 95) << run.output;
}

// The grouping step stopped by a folder where a file must go, and resumed:
// the clips and the playlist still follow the book.
TEST_F(Books, ABookResumedAtItsGroupingStepKeepsItsTitles) {
  const std::string lines = "F=1\r\nG=5\r\nCR=MP3\r\nCF=S\r\n";
  Configure(lines);
  folder_.Write("viaggio.epub", Book(200));
  ASSERT_EQ(Convert({"/VB=0", "viaggio.epub"}).exitCode, 0);
  const std::string reference = Tree(folder_);
  EXPECT_NE(Out("viaggio.m3u8").find(",Il mare (2/"), std::string::npos) << Out("viaggio.m3u8");
  EXPECT_NE(Out("viaggio01/002.mp3.talk").find("Il mare (2/"), std::string::npos);

  std::filesystem::remove_all(folder_.File("out"));
  folder_.MakeFolder("out");
  folder_.MakeFolder("out/viaggio02");
  folder_.MakeFolder("out/viaggio02/007.mp3");
  RunResult failed = Convert({"/VB=0", "viaggio.epub"});
  EXPECT_NE(failed.exitCode, 0);
  EXPECT_NE(folder_.Read("narravox.dat").find("::-1::"), std::string::npos);
  std::filesystem::remove_all(folder_.File("out/viaggio02/007.mp3"));
  RunResult resumed = Convert({"/R", "/VB=0"});
  EXPECT_EQ(resumed.exitCode, 0) << resumed.errors;
  EXPECT_EQ(Tree(folder_), reference);
}

}  // namespace
