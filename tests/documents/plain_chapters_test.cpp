// Chapter headings of plain texts: the labelled set of Italian texts in
// tests/documents/chapters, measured as a whole, and the rules that the set
// alone would not pin down (titles on two lines, levels, tables of contents).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>

#include "documents/plain_chapters.h"
#include "text/code_pages.h"
#include "text/lines.h"
#include "text/utf8.h"

namespace documents {
namespace {

// The set's UTF-8 as the conversion gives it to the detection: Windows-1252
// bytes ("?" for what the code page lacks), split into lines.
std::vector<std::string> Cp1252Lines(const std::string& utf8) {
  std::string ansi;
  size_t i = utf8.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  while (i < utf8.size()) {
    text::Utf8Char c = text::DecodeUtf8(utf8, i);
    int byte = c.valid ? text::UnicodeToCp1252(c.code) : -1;
    ansi += byte < 0 ? '?' : static_cast<char>(byte);
    i += c.length;
  }
  return text::SplitLines(ansi);
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

TEST(PlainChapters, FindsTheLabelledHeadingsOfTheSet) {
  std::vector<std::filesystem::path> texts;
  for (const auto& entry : std::filesystem::directory_iterator(CHAPTER_SET))
    if (entry.path().extension() == ".txt") texts.push_back(entry.path());
  std::sort(texts.begin(), texts.end());
  ASSERT_GE(texts.size(), 40u);
  size_t labelled = 0, found = 0, right = 0;
  for (const auto& path : texts) {
    std::set<size_t> expected;  // 1-based line numbers
    std::istringstream sidecar(ReadFile(std::filesystem::path(path).replace_extension(".headings")));
    for (size_t line; sidecar >> line;) expected.insert(line);
    std::set<size_t> got;
    for (const TPlainHeading& h : FindPlainHeadings(Cp1252Lines(ReadFile(path)))) got.insert(h.line + 1);
    std::string missed, extra;
    for (size_t line : expected)
      if (!got.count(line)) missed += " " + std::to_string(line);
    for (size_t line : got)
      if (expected.count(line)) ++right;
      else extra += " " + std::to_string(line);
    labelled += expected.size();
    found += got.size();
    if (!missed.empty() || !extra.empty())
      std::cout << path.filename().string() << ": missed" << (missed.empty() ? " -" : missed) << ", wrong"
                << (extra.empty() ? " -" : extra) << "\n";
  }
  double precision = found == 0 ? 1.0 : static_cast<double>(right) / found;
  double recall = labelled == 0 ? 1.0 : static_cast<double>(right) / labelled;
  std::cout << "precision " << precision << " recall " << recall << " (" << right << " right of " << found
            << " found, " << labelled << " labelled, " << texts.size() << " texts)\n";
  EXPECT_GE(precision, 0.95);
  EXPECT_GE(recall, 0.95);
}

std::vector<std::string> Lines(const std::string& utf8) { return Cp1252Lines(utf8); }

const char kProse[] =
    "Era una sera di novembre, e la nebbia saliva dal fiume fino alle case del\n"
    "borgo, dove i lumi si accendevano a uno a uno dietro i vetri appannati, e\n"
    "la gente tornava dai campi col passo lento di chi ha lavorato tutto il giorno.\n";

TEST(PlainChapters, TakesTheTitleOnTheNextLinesIntoTheHeading) {
  std::string text = std::string("CAPITOLO I\nIn cui si narra come tutto ebbe principio\n\n") + kProse +
                     "\nCAPITOLO II.\nDove si vede che le cose\nnon vanno sempre per il verso giusto.\n\n" + kProse;
  std::vector<TPlainHeading> headings = FindPlainHeadings(Lines(text));
  ASSERT_EQ(headings.size(), 2u);
  EXPECT_EQ(headings[0].line, 0u);
  EXPECT_EQ(headings[0].lines, 2u);
  EXPECT_EQ(headings[0].title, "Capitolo I. In cui si narra come tutto ebbe principio");
  EXPECT_EQ(headings[1].lines, 3u);
  EXPECT_EQ(headings[1].title, "Capitolo II. Dove si vede che le cose non vanno sempre per il verso giusto.");
  // A heading whose text starts right under it keeps to its own line.
  headings = FindPlainHeadings(Lines(std::string("Capitolo primo\n") + kProse + "\nCapitolo secondo\n\n" + kProse));
  ASSERT_EQ(headings.size(), 2u);
  EXPECT_EQ(headings[0].lines, 1u);
  EXPECT_EQ(headings[0].title, "Capitolo primo");
  // Lettered appendices after the chapters.
  headings = FindPlainHeadings(
      Lines(std::string("Capitolo 1. Inizio\n\n") + kProse + "\nAppendice A. Altro\n\n" + kProse));
  ASSERT_EQ(headings.size(), 2u);
  EXPECT_EQ(headings[1].title, "Appendice A. Altro");
}

TEST(PlainChapters, NestsChaptersUnderParteAndLibroOnlyWhenBothOccur) {
  std::string text = std::string("PARTE PRIMA\n\nCAPITOLO 1\n\n") + kProse + "\nCAPITOLO 2\n\n" + kProse +
                     "\nPARTE SECONDA\n\n" + "CAPITOLO 3\n\n" + kProse;
  std::vector<TPlainHeading> headings = FindPlainHeadings(Lines(text));
  std::vector<int> levels;
  for (const TPlainHeading& h : headings) levels.push_back(h.level);
  EXPECT_EQ(levels, (std::vector<int>{1, 2, 2, 1, 2}));
  EXPECT_EQ(headings[0].title, "Parte prima");
  headings = FindPlainHeadings(Lines(std::string("LIBRO PRIMO\n\n") + kProse + "\nLIBRO SECONDO\n\n" + kProse));
  ASSERT_EQ(headings.size(), 2u);
  EXPECT_EQ(headings[1].level, 1);
}

TEST(PlainChapters, LeavesOutTablesOfContentsAndLoneHeadings) {
  std::string contents = "INDICE\n\nCapitolo I. La partenza\n\nCapitolo II. Il viaggio\n\nCapitolo III. L'arrivo\n\n";
  std::string text = contents + "Capitolo I. La partenza\n\n" + kProse + kProse + "\nCapitolo II. Il viaggio\n\n" +
                     kProse + kProse + "\nCapitolo III. L'arrivo\n\n" + kProse + kProse;
  std::vector<TPlainHeading> headings = FindPlainHeadings(Lines(text));
  ASSERT_EQ(headings.size(), 3u);
  EXPECT_EQ(headings[0].line, 8u);
  EXPECT_EQ(headings[2].title, "Capitolo III. L'arrivo");
  // The contents alone, or a single heading, give no chapters.
  EXPECT_TRUE(FindPlainHeadings(Lines(contents + kProse)).empty());
  EXPECT_TRUE(FindPlainHeadings(Lines(std::string("Capitolo I\n\n") + kProse)).empty());
}

TEST(PlainChapters, WantsProseAfterNumbersAndTitles) {
  // Numbered sonnets and stanzas are not chapters; numbered prose is.
  std::string verse = "Solo et pensoso i più deserti campi\nvo mesurando a passi tardi et lenti,\n"
                      "et gli occhi porto per fuggire intenti\nove vestigio human la rena stampi.\n";
  EXPECT_TRUE(FindPlainHeadings(Lines("I\n\n" + verse + "\nII\n\n" + verse + "\nIII\n\n" + verse)).empty());
  std::vector<TPlainHeading> headings =
      FindPlainHeadings(Lines(std::string("— I —\n\n") + kProse + "\n— II —\n\n" + kProse));
  ASSERT_EQ(headings.size(), 2u);
  EXPECT_EQ(headings[1].title, "II");
  // Short lines between blanks: titles before prose, but not a manual
  // page's sections, whose text is indented under them.
  EXPECT_EQ(FindPlainHeadings(Lines(std::string("La partenza\n\n") + kProse + "\nIl ritorno\n\n" + kProse)).size(),
            2u);
  std::string indented;
  for (const std::string& line : text::SplitLines(kProse)) indented += "       " + line + "\n";
  EXPECT_TRUE(FindPlainHeadings(Lines("NOME\n\n" + indented + "\nDESCRIZIONE\n\n" + indented)).empty());
}

}  // namespace
}  // namespace documents
