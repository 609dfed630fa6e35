// Conversions with the real engine (libeci.so on espeak-ng) and encoder
// (liblame_enc.so): a run repeated, texts taken in another order, and runs
// stopped at random moments by SIGKILL or SIGTERM and finished with "/R"
// all end with exactly the files of one uninterrupted run.
#include <gtest/gtest.h>

#include <csignal>
#include <map>

#include "documents/zip_maker.h"
#include "real_runs.h"
#include "run_program.h"

namespace {

const std::vector<std::string> kOptions = {"/VB=0", "/F=1", "/G=5",  "/IC=S",
                                           "/I3=S", "/V=2", "/BR=32"};

std::string Text(const std::string& subject, int sentences) {
  std::string text = "Capitolo su " + subject + "\n\n";
  for (int i = 1; i <= sentences; ++i)
    text += "La frase numero " + std::to_string(i) + " parla di " + subject +
            ", e la citta' ascolta.\n";
  return text;
}

void Prepare(const ProgramFolder& folder) {
  UseRealLibraries(folder);
  folder.Write("mare.txt", Text("mare", 160));
  folder.Write("monti.txt", Text("monti", 40));
}

TEST(RealLibraries, RepeatedReorderedAndResumedRunsGiveTheSameFiles) {
  ProgramFolder reference(false);
  Prepare(reference);
  ASSERT_EQ(reference.Run(With(kOptions, {"mare.txt", "monti.txt"})).exitCode, 0);
  const std::map<std::string, std::string> expected = Files(reference);
  ASSERT_GT(expected.size(), 8u);
  ASSERT_TRUE(expected.count("out/mare02/006.mp3")) << "the text should make two groups";

  ProgramFolder repeated(false);
  Prepare(repeated);
  ASSERT_EQ(repeated.Run(With(kOptions, {"monti.txt", "mare.txt"})).exitCode, 0);
  EXPECT_TRUE(Files(repeated) == expected) << "another order gave other files";

  ExpectResumedRunsGive(expected, Prepare, With(kOptions, {"mare.txt", "monti.txt"}),
                        {SIGKILL, SIGTERM, SIGKILL, SIGTERM, SIGKILL});
}

// An EPUB book of three chapters, the second long, with a footnote.
std::string Book() {
  auto page = [](const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><html xmlns=\"http://www.w3.org/1999/xhtml\" "
           "xmlns:epub=\"http://www.idpf.org/2007/ops\"><head><title>t</title></head><body>" +
           body + "</body></html>";
  };
  std::string sea;
  for (int i = 1; i <= 200; ++i)
    sea += "<p>La frase numero " + std::to_string(i) + " parla del mare, e la citt&agrave; ascolta.</p>";
  return MakeZip(
      {{"mimetype", "application/epub+zip", true},
       {"META-INF/container.xml",
        "<?xml version=\"1.0\"?><container version=\"1.0\" xmlns=\"urn:oasis:names:tc:opendocument:"
        "xmlns:container\"><rootfiles><rootfile full-path=\"content.opf\" media-type=\"application/"
        "oebps-package+xml\"/></rootfiles></container>"},
       {"content.opf",
        "<?xml version=\"1.0\"?><package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\">"
        "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>Il mare e i monti"
        "</dc:title><dc:creator>Anna Neri</dc:creator><dc:language>it</dc:language></metadata>"
        "<manifest><item id=\"a\" href=\"a.xhtml\" media-type=\"application/xhtml+xml\"/>"
        "<item id=\"b\" href=\"b.xhtml\" media-type=\"application/xhtml+xml\"/></manifest>"
        "<spine><itemref idref=\"a\"/><itemref idref=\"b\"/></spine></package>"},
       {"a.xhtml", page("<h1>Il mare</h1>" + sea)},
       {"b.xhtml", page("<h1>I monti</h1><p>I monti sono alti<a epub:type=\"noteref\" "
                        "href=\"#n\">1</a>, e la neve li copre.</p><h2>La valle</h2><p>La valle "
                        "&egrave; verde e il fiume la attraversa lento verso il mare lontano.</p>"
                        "<aside epub:type=\"footnote\" id=\"n\"><p>Una nota.</p></aside>")}});
}

void PrepareBook(const ProgramFolder& folder) {
  Prepare(folder);
  folder.Write("libro.epub", Book());
}

TEST(RealLibraries, AnInterruptedBookResumesToTheSameFiles) {
  const std::vector<std::string> options = {"/VB=0", "/F=1", "/G=5", "/IC=S",
                                            "/I3=V2", "/V=2", "/BR=32", "libro.epub"};
  ProgramFolder reference(false);
  PrepareBook(reference);
  ASSERT_EQ(reference.Run(options).exitCode, 0);
  const std::map<std::string, std::string> expected = Files(reference);
  ASSERT_TRUE(expected.count("out/libro.m3u8"))
      << "the book should have its playlist";
  ASSERT_TRUE(expected.count("out/libro03/011.mp3")) << "the book should make three groups";
  // The playlist beside the group folders names the files in them.
  EXPECT_NE(expected.at("out/libro.m3u8").find(",Il mare (6/11)\nlibro02/006.mp3\n"), std::string::npos)
      << expected.at("out/libro.m3u8");
  ExpectResumedRunsGive(expected, PrepareBook, options, {SIGKILL, SIGTERM, SIGKILL});
}

}  // namespace
