// The fragment loop: words and lines rebuilt into fragments, where fragments
// end, and resuming from every checkpoint it leaves.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "engine/fragment_buffer.h"
#include "engine/fragmentation.h"
#include "test_errors.h"

namespace {

using V = std::vector<std::string>;

struct TEnd {
  int32_t position;
  bool allLinesConsumed;
  bool contentRemains;
  int32_t track;  // the track number after the end, as the conversion keeps it
};

// Records every fragment and end; titles the fragments as the conversion
// does when a title is given.
class TRecorder : public TFragmentEvents {
 public:
  TRecorder(const int32_t* position, std::string title, int32_t track)
      : position_(position), title_(std::move(title)), track_(track) {}

  void FragmentStart(TFragmentBuffer& buffer, size_t) override {
    ++starts;
    if (!title_.empty()) buffer.AppendText(title_ + " " + std::to_string(track_) + ".\r\n\r\n");
  }
  void FragmentEnd(TFragmentBuffer& buffer, bool allLinesConsumed, bool contentRemains) override {
    if (buffer.length() > 0 && contentRemains) ++track_;
    fragments.push_back(buffer.text());
    breaks.push_back(buffer.paragraphBreaks());
    ends.push_back({*position_, allLinesConsumed, contentRemains, track_});
  }

  int starts = 0;
  V fragments;
  std::vector<std::vector<int32_t>> breaks;
  std::vector<TEnd> ends;

 private:
  const int32_t* position_;
  std::string title_;
  int32_t track_;
};

struct TWalk {
  int32_t fragmentSize = 16384;
  std::string splitLine;
  std::string title;
  int32_t position = 0;
  int32_t track = 1;
  bool paragraphBreaks = false;
  std::vector<size_t> chapters;
  bool shortChaptersShare = true;
};

TRecorder Walk(const V& lines, const TWalk& walk = {}) {
  int32_t position = walk.position;
  TRecorder recorder(&position, walk.title, walk.track);
  TFragmentBuffer buffer(walk.fragmentSize);
  RunFragmentLoop(lines,
                  {walk.fragmentSize, walk.splitLine, walk.paragraphBreaks, walk.chapters,
                   walk.shortChaptersShare},
                  &position,
                  buffer, recorder);
  return recorder;
}

V Fragments(const V& lines, const TWalk& walk = {}) { return Walk(lines, walk).fragments; }

TEST(FragmentLoop, WordsAndLinesAreRebuilt) {
  EXPECT_EQ(Fragments({"  Uno   due\ttre  ", "", " \t ", "quattro"}),
            V{"Uno due tre\r\nquattro\r\n"});
  // Blank lines only: one empty fragment, no start.
  TRecorder blank = Walk({"", "   "});
  EXPECT_EQ(blank.fragments, V{""});
  EXPECT_EQ(blank.starts, 0);
  EXPECT_EQ(Walk({}).ends.size(), 0u);
}

TEST(FragmentLoop, TitleIsAppendedByTheStart) {
  TWalk walk;
  walk.splitLine = "[TAGLIO]";
  V lines{"Primo.", "[taglio]", "Secondo."};
  EXPECT_EQ(Fragments(lines, walk), (V{"Primo.\r\n", "Secondo.\r\n"}));
  walk.title = "Libro";
  EXPECT_EQ(Fragments(lines, walk),
            (V{"Libro 1.\r\n\r\nPrimo.\r\n", "Libro 2.\r\n\r\nSecondo.\r\n"}));
}

// Blank lines after a line of words mark a paragraph break; the fragments,
// their ends and positions are those without breaks.
TEST(FragmentLoop, ParagraphBreaksChangeNothingElse) {
  V lines{"Capitolo", "", "uno due", "tre.", "", "", "quattro-", "", "cinque.", ""};
  TWalk walk;
  TRecorder off = Walk(lines, walk);
  walk.paragraphBreaks = true;
  TRecorder on = Walk(lines, walk);
  EXPECT_EQ(on.fragments, V{"Capitolo\r\nuno due\r\ntre.\r\nquattrocinque.\r\n"});
  EXPECT_EQ(on.fragments, off.fragments);
  EXPECT_EQ(off.breaks, std::vector<std::vector<int32_t>>{{}});
  // After the heading, after "tre." once for two blank lines, none inside
  // the joined word, and one at the very end that the tail pause covers.
  EXPECT_EQ(on.breaks, (std::vector<std::vector<int32_t>>{{10, 25, 41}}));

  // Small fragments: each keeps its own breaks, and the checkpoints stay.
  walk.fragmentSize = 1;
  walk.paragraphBreaks = false;
  off = Walk(lines, walk);
  walk.paragraphBreaks = true;
  on = Walk(lines, walk);
  EXPECT_EQ(on.fragments, off.fragments);
  ASSERT_EQ(on.ends.size(), off.ends.size());
  for (size_t i = 0; i < on.ends.size(); ++i) EXPECT_EQ(on.ends[i].position, off.ends[i].position);
  // Blank lines after a fragment's end start no paragraph in the next one.
  EXPECT_EQ(on.fragments, (V{"Capitolo\r\nuno due\r\ntre.\r\n", "quattrocinque.\r\n", ""}));
  EXPECT_EQ(on.breaks, (std::vector<std::vector<int32_t>>{{10}, {}, {}}));
}

TEST(FragmentLoop, HyphenatedLineEndsJoin) {
  EXPECT_EQ(Fragments({"una infor-", "mazione utile."}), V{"una informazione utile.\r\n"});
  // On the last line the hyphen stays and ends a sentence.
  EXPECT_EQ(Fragments({"una infor-"}), V{"una infor-\r\n"});
  TWalk small;
  small.fragmentSize = 1;
  EXPECT_EQ(Fragments({"una infor-"}, small), V{"una infor-\r\n"});
  // A joined line end cannot end a fragment; a dash after a blank can.
  EXPECT_EQ(Fragments({"una infor-", "mazione", "fine -", "altro"}, small),
            (V{"una informazione\r\nfine -\r\n", "altro\r\n"}));
}

TEST(FragmentLoop, DetachedPunctuationAndGuillemets) {
  EXPECT_EQ(Fragments({"parola . altra ! e ;"}), V{"parola. altra! e;\r\n"});
  EXPECT_EQ(Fragments({"\xAB citazione \xBB fine"}), V{"\xAB"
                                                       "citazione\xBB fine\r\n"});
  // A mark that opens a line or a fragment stays where it is.
  EXPECT_EQ(Fragments({"uno", ". due"}), V{"uno\r\n. due\r\n"});
  EXPECT_EQ(Fragments({"? inizio"}), V{"? inizio\r\n"});
  EXPECT_EQ(Fragments({"\xAB"}), V{"\xAB\r\n"});
}

TEST(FragmentLoop, ManualSplitLines) {
  TWalk walk;
  walk.splitLine = "[TAGLIO]";
  walk.title = "T";
  TRecorder r = Walk({"uno.", "[taglio]", "[TAGLIO]", "due.", "[TAGLIO] ", "tre."}, walk);
  // The second split line gives an empty fragment, which takes no track;
  // the line with a trailing blank is spoken.
  EXPECT_EQ(r.fragments,
            (V{"T 1.\r\n\r\nuno.\r\n", "", "T 2.\r\n\r\ndue.\r\n[TAGLIO]\r\ntre.\r\n"}));
  EXPECT_EQ(r.starts, 2);
  ASSERT_EQ(r.ends.size(), 3u);
  EXPECT_EQ(r.ends[0].position, 16);
  EXPECT_EQ(r.ends[1].position, 26);
  EXPECT_EQ(r.ends[2].position, 49);
  EXPECT_TRUE(r.ends[1].contentRemains);
  EXPECT_TRUE(r.ends[2].allLinesConsumed);
  EXPECT_FALSE(r.ends[2].contentRemains);
}

// Words of four bytes; every tenth ends in a full stop.
V Words(int count, bool withStops, const std::string& last) {
  V words;
  for (int i = 1; i <= count; ++i) words.push_back(withStops && i % 10 == 0 ? "abc." : "abcd");
  words.back() = last;
  return words;
}

// Words first to last (counting from 1) as a fragment's line.
std::string Join(const V& words, int first, int last) {
  std::string out;
  for (int i = first; i <= last; ++i) out += words[i - 1] + (i < last ? " " : "\r\n");
  return out;
}

TEST(FragmentLoop, LongLineIsCutAtSentencesWhileMuchOfItRemains) {
  TWalk walk;
  walk.fragmentSize = 1024;
  // Ending in a full stop: the first cut follows the first stop past 1536
  // bytes; the next stop lies within the last 2048 bytes, so no more cuts.
  V words = Words(1000, true, "abc.");
  EXPECT_EQ(Fragments({Join(words, 1, 1000)}, walk),
            (V{Join(words, 1, 310), Join(words, 311, 1000)}));
  // Not ending in sentence punctuation: cut at every stop past 1536.
  words = Words(1001, true, "abcd");
  EXPECT_EQ(Fragments({Join(words, 1, 1001)}, walk),
            (V{Join(words, 1, 310), Join(words, 311, 620), Join(words, 621, 930),
               Join(words, 931, 1001)}));
  // Without stops: cut after any word past 3072 bytes.
  words = Words(2000, false, "abc.");
  EXPECT_EQ(Fragments({Join(words, 1, 2000)}, walk),
            (V{Join(words, 1, 615), Join(words, 616, 1230), Join(words, 1231, 2000)}));
}

TEST(FragmentLoop, ShortLinesEndFragmentsAtLineEnds) {
  TWalk walk;
  walk.fragmentSize = 1024;
  // Each line is 16 bytes with its break; every fifth ends a sentence.
  V lines, expected(4);
  for (int i = 1; i <= 200; ++i) {
    lines.push_back(i % 5 == 0 ? "abcd abcd abc." : "abcd abcd abcd");
    expected[static_cast<size_t>((i - 1) / 65)] += lines.back() + "\r\n";
  }
  EXPECT_EQ(Fragments(lines, walk), expected);
  // Without sentence ends the fragment ends at the first line end past
  // 3072 bytes ...
  lines.assign(200, "abcdefghijklmn");
  V fragments = Fragments(lines, walk);
  ASSERT_EQ(fragments.size(), 2u);
  EXPECT_EQ(fragments[0].size(), 193u * 16);
  // ... unless a word inside a line gets there first.
  lines.assign(200, "abcd abcd abcd");
  fragments = Fragments(lines, walk);
  ASSERT_EQ(fragments.size(), 2u);
  EXPECT_EQ(fragments[0].size(), 192u * 16 + 6);
  EXPECT_EQ(fragments[1].substr(0, 11), "abcd abcd\r\n");
}

TEST(FragmentLoop, WordLongerThanTheBufferIsAppendedWhole) {
  TWalk walk;
  walk.fragmentSize = 1024;
  std::string word(10000, 'x');
  EXPECT_EQ(Fragments({"inizio", "a " + word + " b.", "fine."}, walk),
            (V{"inizio\r\na " + word + " b.\r\n", "fine.\r\n"}));
}

TEST(FragmentLoop, TrailingBlankLinesEndInAnEmptyFragment) {
  TWalk walk;
  walk.fragmentSize = 1;
  TRecorder r = Walk({"uno.", "due.", "", "  "}, walk);
  EXPECT_EQ(r.fragments, (V{"uno.\r\n", "due.\r\n", ""}));
  ASSERT_EQ(r.ends.size(), 3u);
  EXPECT_TRUE(r.ends[0].contentRemains);
  // Only blank lines remain: the track number stays at the files written.
  EXPECT_FALSE(r.ends[1].contentRemains);
  EXPECT_FALSE(r.ends[1].allLinesConsumed);
  EXPECT_EQ(r.ends[1].track, 2);
  EXPECT_TRUE(r.ends[2].allLinesConsumed);
  EXPECT_EQ(r.ends[2].position, 18);
}

TEST(FragmentLoop, ResumePositions) {
  V lines{"uno.", "due tre.", "quattro."};  // lines start at 0, 6, 16; 26 in all
  TWalk walk;
  walk.position = 6;
  EXPECT_EQ(Fragments(lines, walk), V{"due tre.\r\nquattro.\r\n"});
  walk.position = 10;  // inside "due tre.", on the blank
  EXPECT_EQ(Fragments(lines, walk), V{"tre.\r\nquattro.\r\n"});
  walk.position = 15;  // past the last word of the line
  EXPECT_EQ(Fragments(lines, walk), V{"quattro.\r\n"});
  walk.position = 26;
  EXPECT_EQ(Walk(lines, walk).ends.size(), 0u);
  walk.position = 27;
  EXPECT_EQ(ErrorOf([&] { Walk(lines, walk); }), "Errore nel file di ripristino");
}

// A text of paragraphs, some as one long line, with blank lines, hyphens,
// detached marks, split lines and blank lines at the end.
V GeneratedText(uint32_t seed) {
  std::mt19937 random(seed);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<uint32_t>(n)); };
  const V words{"casa", "albero", "va", "sentiero", "e", "luce", "\xE8", "citt\xE0"};
  const V endings{".", "!", "?", ";", ":", "", "", "-", " -", "\xBB", " ."};
  V lines;
  for (int paragraph = 0; paragraph < 40; ++paragraph) {
    int lineCount = pick(3) == 0 ? 1 : 1 + pick(12);
    int wordsPerLine = lineCount == 1 ? 50 + pick(1200) : 1 + pick(14);
    for (int l = 0; l < lineCount; ++l) {
      std::string line(pick(4) == 0 ? static_cast<size_t>(pick(3)) : 0, ' ');
      for (int w = 0; w < wordsPerLine; ++w) {
        if (pick(40) == 0) line += "\xAB ";
        line += words[static_cast<size_t>(pick(static_cast<int>(words.size())))];
        line += pick(8) == 0 ? endings[static_cast<size_t>(pick(static_cast<int>(endings.size())))]
                             : "";
        line += pick(10) == 0 ? "  " : " ";
      }
      line += endings[static_cast<size_t>(pick(static_cast<int>(endings.size())))];
      lines.push_back(line);
    }
    int after = pick(6);
    if (after == 0) lines.push_back("[TAGLIO]");
    if (after == 1) lines.push_back("");
    if (after == 2) lines.push_back("   ");
  }
  for (int i = pick(3); i > 0; --i) lines.push_back("");
  return lines;
}

TEST(FragmentLoop, ResumingAtEveryCheckpointGivesTheSameFragments) {
  int midLine = 0, empty = 0;
  for (uint32_t seed = 1; seed <= 4; ++seed) {
    V lines = GeneratedText(seed);
    std::vector<int32_t> lineStarts{0};
    for (const std::string& line : lines)
      lineStarts.push_back(lineStarts.back() + static_cast<int32_t>(line.size()) + 2);
    TWalk walk;
    walk.fragmentSize = seed % 2 ? 1024 : 3072;
    walk.splitLine = "[taglio]";
    walk.title = "Testo";
    // Chapters, some far apart and some close enough to share a file.
    for (size_t n = 3; n < lines.size(); n += (n % 7 == 0 ? 2 : 23 + seed))
      if (!lines[n].empty()) walk.chapters.push_back(n);
    TRecorder whole = Walk(lines, walk);
    ASSERT_GT(whole.fragments.size(), 10u);
    for (size_t i = 0; i + 1 < whole.ends.size(); ++i) {
      if (!std::binary_search(lineStarts.begin(), lineStarts.end(), whole.ends[i].position))
        ++midLine;
      if (whole.fragments[i].empty()) ++empty;
      walk.position = whole.ends[i].position;
      walk.track = whole.ends[i].track;
      TRecorder resumed = Walk(lines, walk);
      V rest(whole.fragments.begin() + static_cast<long>(i) + 1, whole.fragments.end());
      ASSERT_EQ(resumed.fragments, rest) << "seed " << seed << ", after fragment " << i;
      ASSERT_EQ(resumed.ends.back().position, whole.ends.back().position);
    }
  }
  // The texts did put checkpoints inside lines and made empty fragments.
  EXPECT_GT(midLine, 10);
  EXPECT_GT(empty, 0);
}

TEST(FragmentLoop, ChaptersStartFragmentsAndShortOnesShareTheirs) {
  const std::string sentence = "Una frase di prova che dura.";
  V lines{"Prefazione breve.", "", "Capitolo primo", ""};
  for (int i = 0; i < 10; ++i) lines.push_back(sentence);  // about 290 bytes
  lines.insert(lines.end(), {"", "Capitolo secondo", "", "Poche parole.", "", "Capitolo terzo", ""});
  for (int i = 0; i < 60; ++i) lines.push_back(sentence);  // longer than a fragment
  TWalk walk;
  walk.fragmentSize = 1024;
  walk.chapters = {2, 15, 19};
  V fragments = Fragments(lines, walk);
  // The preface is shorter than a tenth of the size: it goes with the first
  // chapter; the second chapter is short too and shares its file with the
  // third, which is cut within itself as any long text.
  ASSERT_GE(fragments.size(), 3u);
  EXPECT_EQ(fragments[0].rfind("Prefazione breve.\r\nCapitolo primo\r\n", 0), 0u) << fragments[0];
  EXPECT_EQ(fragments[1].rfind("Capitolo secondo\r\nPoche parole.\r\nCapitolo terzo\r\n", 0), 0u)
      << fragments[1];
  EXPECT_EQ(fragments[0].find("Capitolo secondo"), std::string::npos);
  for (size_t i = 2; i < fragments.size(); ++i)
    EXPECT_EQ(fragments[i].find("Capitolo"), std::string::npos) << i;

  // A chapter of its own once what comes before it is a tenth of the size.
  walk.fragmentSize = 150;
  fragments = Fragments(lines, walk);
  EXPECT_EQ(fragments[0], "Prefazione breve.\r\n");
  EXPECT_EQ(fragments[1].rfind("Capitolo primo\r\n", 0), 0u);

  // Without sharing (a talking book) every chapter starts a fragment.
  walk.fragmentSize = 1024;
  walk.shortChaptersShare = false;
  fragments = Fragments(lines, walk);
  EXPECT_EQ(fragments[0], "Prefazione breve.\r\n");
  EXPECT_EQ(fragments[1].rfind("Capitolo primo\r\n", 0), 0u);
  EXPECT_EQ(fragments[2], "Capitolo secondo\r\nPoche parole.\r\n");
  EXPECT_EQ(fragments[3].rfind("Capitolo terzo\r\n", 0), 0u);
}

TEST(FragmentBuffer, GrowsInStepsAndRefusesWhatItCannotHold) {
  TFragmentBuffer buffer(1024);
  EXPECT_EQ(buffer.limit(), 2047);
  std::string bytes(2048, 'x');
  buffer.AppendText(bytes);
  EXPECT_EQ(buffer.limit(), 2047 + 4096);
  buffer.AppendText(std::string(9000, 'y'));
  EXPECT_EQ(buffer.limit(), 2047 + 3 * 4096);
  EXPECT_EQ(buffer.length(), 11048);
  EXPECT_EQ(buffer.data()[11048], 0);

  EXPECT_EQ(TFragmentBuffer(0).limit(), 1024);  // never sized below one byte of text
  EXPECT_EQ(ErrorOf([] { TFragmentBuffer huge(INT32_MAX); }),
            "Memoria insufficiente (codice 10, 2147484670 bytes)");
}

}  // namespace
