// Files that are not texts are recognised by their first bytes or by their
// control bytes; texts, also with a few NUL bytes, are not.
#include <gtest/gtest.h>

#include "engine/non_text.h"

namespace {

TEST(NonText, KnownSignaturesAndWhatTheyAre) {
  struct {
    std::string head;
    std::string kind;
    bool document;
  } cases[] = {
      {std::string("\x7F"
                   "ELF\x02\x01\x01",
                   7),
       "programma", false},
      {"%PDF-1.7\n", "PDF", true},
      {std::string("PK\x03\x04\x14\0\0\0\0\0mimetypeapplication/epub+zip", 38), "EPUB", true},
      {std::string("PK\x03\x04\x14\0mimetypeapplication/vnd.oasis.opendocument.text", 53), "ODT",
       true},
      {std::string("PK\x03\x04\x14\0\x06\0[Content_Types].xml", 27), "DOCX", true},
      {std::string("PK\x03\x04\x0A\0\0\0foto.jpg", 16), "archivio ZIP", false},
      {"Rar!\x1A\x07\x01", "archivio RAR", false},
      {"7z\xBC\xAF\x27\x1C", "archivio 7z", false},
      {"\x1F\x8B\x08", "archivio gzip", false},
      {"\x89PNG\r\n\x1A\n", "immagine PNG", false},
      {"\xFF\xD8\xFF\xE0", "immagine JPEG", false},
      {"GIF89a", "immagine GIF", false},
      {"ID3\x04", "audio MP3", false},
      {"\xFF\xFB\x90\x64", "audio MP3", false},
      {"RIFF\x24\x08", "audio o video RIFF", false},
      {"OggS", "audio Ogg", false},
      {"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", "Word (.doc)", true},
  };
  for (const auto& c : cases) {
    TNonText what = RecogniseNonText(c.head + std::string(100, 'x'));
    EXPECT_TRUE(what.refused) << c.kind;
    EXPECT_EQ(what.kind, c.kind);
    EXPECT_EQ(what.document, c.document) << c.kind;
  }
  EXPECT_EQ(NonTextMessage("a.pdf", RecogniseNonText("%PDF-1.4")),
            "* ERRORE: il file \"a.pdf\" e' un documento PDF, che questa versione non legge ancora "
            "(una versione futura potra' leggerlo): salvarlo prima come testo; viene saltato");
  EXPECT_EQ(NonTextMessage("x.txt", RecogniseNonText("\x7F"
                                                     "ELF")),
            "* ERRORE: il file \"x.txt\" non e' un file di testo (programma) e viene saltato");
}

TEST(NonText, ControlBytesAboveOneInAHundred) {
  std::string text(1000, 'a');
  // Tabs, line and page breaks and the DOS end-of-file mark are text.
  for (int i = 0; i < 100; ++i) text[static_cast<size_t>(i) * 10] = "\t\n\f\r\x1A"[i % 5];
  EXPECT_FALSE(RecogniseNonText(text).refused);
  // Ten NUL bytes in a thousand are a text with a few blanks.
  for (int i = 0; i < 10; ++i) text[static_cast<size_t>(i) * 10 + 5] = '\0';
  EXPECT_FALSE(RecogniseNonText(text).refused);
  text[7] = '\x01';
  TNonText what = RecogniseNonText(text);
  EXPECT_TRUE(what.refused);
  EXPECT_EQ(what.kind, "contiene caratteri di controllo");
  // A short text needs more than three.
  EXPECT_FALSE(RecogniseNonText(std::string("a\0b\0c\0d", 7)).refused);
  EXPECT_TRUE(RecogniseNonText(std::string("a\0b\0c\0d\0", 8)).refused);
  // Signatures are looked for at the start only; an empty file is a text.
  EXPECT_FALSE(RecogniseNonText("Il file %PDF- e la sigla PK").refused);
  EXPECT_FALSE(RecogniseNonText("").refused);
}

}  // namespace
