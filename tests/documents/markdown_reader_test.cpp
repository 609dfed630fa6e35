// The Markdown reader: chapters from headings, the markup dropped.
#include <gtest/gtest.h>

#include "documents/readers.h"

namespace documents {
namespace {

TDocument Read(const std::string& text) { return ReadMarkdown(text, TReadOptions{}); }

TEST(MarkdownReader, ReadsFrontMatterHeadingsAndParagraphs) {
  TDocument document = Read(
      "---\r\ntitle: \"Il mio libro\"\r\nauthor:\r\n- Mario Rossi\r\n- Anna Bianchi\r\nlang: it-IT\r\n"
      "date: 2020-01-02\r\n---\r\n\r\nPrima dei capitoli.\r\n\r\n# Primo capitolo #\r\n\r\n"
      "Riga uno\r\nriga due.\r\n\r\n## []{#s}Sezione {#sezione .title}\r\n\r\nAltro\r\n=====\r\n\r\nSotto\r\n---\r\n\r\n"
      "#senza spazio\r\n\r\n####### troppi\r\n");
  EXPECT_EQ(document.metadata.title, "Il mio libro");
  EXPECT_EQ(document.metadata.author, "Mario Rossi, Anna Bianchi");
  EXPECT_EQ(document.metadata.language, "it-IT");
  EXPECT_EQ(document.metadata.date, "2020-01-02");
  ASSERT_EQ(document.chapters.size(), 5u);
  EXPECT_EQ(document.chapters[0].title, "");
  EXPECT_EQ(document.chapters[0].paragraphs, std::vector<std::string>{"Prima dei capitoli."});
  EXPECT_EQ(document.chapters[1].title, "Primo capitolo");
  EXPECT_EQ(document.chapters[1].paragraphs, std::vector<std::string>{"Riga uno riga due."});
  EXPECT_EQ(document.chapters[2].title, "Sezione");
  EXPECT_EQ(document.chapters[2].level, 2);
  EXPECT_EQ(document.chapters[3].title, "Altro");
  EXPECT_EQ(document.chapters[3].level, 1);
  EXPECT_EQ(document.chapters[4].title, "Sotto");
  EXPECT_EQ(document.chapters[4].level, 2);
  EXPECT_EQ(document.chapters[4].paragraphs, (std::vector<std::string>{"#senza spazio", "####### troppi"}));
}

TEST(MarkdownReader, TakesTheTitleFromTheFirstTopHeadingWithoutFrontMatter) {
  TDocument document = Read("Testo\n\n---\n\n## Parte\n\n# *Il* titolo\n\n# Altro\n");
  EXPECT_EQ(document.metadata.title, "Il titolo");
  ASSERT_EQ(document.chapters.size(), 4u);
  EXPECT_EQ(document.chapters[0].paragraphs, std::vector<std::string>{"Testo"});
}

TEST(MarkdownReader, DropsTheMarkupAndKeepsWhatIsRead) {
  TDocument document = Read(
      "Un **grassetto**, un _corsivo_, `codice *vero*`, nome_di_file e 2 * 3, ~~via~~.\n\n"
      "Un [collegamento](http://x.it \"t\") e un [riferimento][r], ![una foto](a.png), <b>tag</b>,\n"
      "<https://esempio.it> e &egrave; &#232; &amp; \\*stelle\\*.\n\n"
      "<!-- un commento\nsu due righe -->\n"
      "- voce uno\n  che continua\n* voce due\n1. voce tre\n\n"
      "> citata\n> > due volte\n\n"
      "```python\nx = *y*\n\nz = 1\n```\n\n"
      "| a | b |\n|---|:-:|\n| c | d |\n\n"
      "[r]: http://x.it\n");
  ASSERT_EQ(document.chapters.size(), 1u);
  EXPECT_EQ(document.chapters[0].paragraphs,
            (std::vector<std::string>{
                "Un grassetto, un corsivo, codice *vero*, nome_di_file e 2 * 3, via.",
                "Un collegamento e un riferimento, una foto, tag , https://esempio.it e \xc3\xa8 \xc3\xa8 & *stelle*.",
                "voce uno che continua", "voce due", "voce tre", "citata due volte", "x = *y*", "z = 1",
                "a b", "c d"}));
}

TEST(MarkdownReader, PutsNotesInTheChapterThatCitesThem) {
  TDocument document = Read("# Uno\n\nTesto[^1] qui.\n\n# Due\n\nAltro[^lunga].\n\n"
                            "[^1]: La prima nota.\n[^lunga]: Una nota\n    su due righe.\n");
  ASSERT_EQ(document.chapters.size(), 2u);
  EXPECT_EQ(document.chapters[0].paragraphs, std::vector<std::string>{"Testo qui."});
  EXPECT_EQ(document.chapters[0].notes, std::vector<std::string>{"La prima nota."});
  EXPECT_EQ(document.chapters[1].paragraphs, std::vector<std::string>{"Altro."});
  EXPECT_EQ(document.chapters[1].notes, std::vector<std::string>{"Una nota su due righe."});
}

TEST(MarkdownReader, TakesAnUnclosedFrontMatterAsText) {
  TDocument document = Read("---\ntitle: no\n\nTesto\n");
  EXPECT_EQ(document.metadata.title, "");
  ASSERT_EQ(document.chapters.size(), 1u);
  EXPECT_EQ(document.chapters[0].paragraphs, (std::vector<std::string>{"title: no", "Testo"}));
}

}  // namespace
}  // namespace documents
