// The fragment loop: rebuilds the running text word by word, ends fragments
// near the fragment size at sentence ends or at manual split lines, and keeps
// the text position exact so that a checkpoint resumes at the next fragment.
#include "engine/fragmentation.h"

#include <algorithm>

#include "base/run_state.h"
#include "text/ascii.h"

namespace {

inline bool IsBlank(char c) { return static_cast<uint8_t>(c) <= 0x20; }

constexpr uint8_t kLeftGuillemet = 0xAB;
constexpr uint8_t kRightGuillemet = 0xBB;

bool IsSentencePunctuation(char c) {
  switch (static_cast<uint8_t>(c)) {
    case '!': case '"': case '.': case ':': case ';': case '?': case kRightGuillemet:
      return true;
    default:
      return false;
  }
}

int32_t TrimmedLength(const std::string& line) {
  size_t len = line.size();
  while (len > 0 && IsBlank(line[len - 1])) --len;
  return static_cast<int32_t>(len);
}

// What the loop needs to know about the line it works on.
struct TLineInfo {
  int32_t len = 0;          // length without trailing blanks
  bool hyphenJoin = false;  // its final hyphen joins the next line's first word
  bool sentenceEnd = false;
};

TLineInfo AnalyseLine(const std::vector<std::string>& lines, size_t n) {
  const std::string& raw = lines[n];
  TLineInfo info;
  info.len = TrimmedLength(raw);
  if (info.len == 0) return info;
  char last = raw[static_cast<size_t>(info.len) - 1];
  info.hyphenJoin = info.len >= 2 && last == '-' &&
                    !IsBlank(raw[static_cast<size_t>(info.len) - 2]) && n + 1 < lines.size();
  info.sentenceEnd = IsSentencePunctuation(last) || (last == '-' && !info.hyphenJoin);
  return info;
}

// Answers, for a line index that only grows, whether a line from there on
// would add words to a fragment. Each line is looked at once per text.
class TContentProbe {
 public:
  TContentProbe(const std::vector<std::string>& lines, const std::string& splitLine)
      : lines_(lines), splitLine_(splitLine) {}

  bool ContentFrom(size_t n) {
    if (probe_ < n) probe_ = n;
    while (probe_ < lines_.size() && !IsContent(lines_[probe_])) ++probe_;
    return probe_ < lines_.size();
  }

 private:
  bool IsContent(const std::string& line) const {
    if (!splitLine_.empty() && EqualIgnoringAsciiCase(line, splitLine_)) return false;
    return TrimmedLength(line) > 0;
  }

  const std::vector<std::string>& lines_;
  const std::string& splitLine_;
  size_t probe_ = 0;
};

// Only blank lines lie between line from (included) and line to.
bool LinesBlankBetween(const std::vector<std::string>& lines, size_t from, size_t to) {
  for (size_t i = from; i < to; ++i)
    if (TrimmedLength(lines[i]) > 0) return false;
  return true;
}

}  // namespace

void RunFragmentLoop(const std::vector<std::string>& lines, const TFragmentSettings& settings,
                     int32_t* textPosition, TFragmentBuffer& buffer, TFragmentEvents& events) {
  const int64_t F = settings.fragmentSize < 1 ? 1 : settings.fragmentSize;
  const std::string& splitLine = settings.splitLine;
  const size_t count = lines.size();

  size_t n = 0;
  int64_t position = *textPosition > 0 ? *textPosition : 0;
  int64_t lineStart = 0;
  int32_t resumeColumn = 0;
  TLineInfo info;

  // Resume point: the line that holds the position, and the column in it.
  if (position > 0) {
    int64_t sum = 0, before = 0;
    while (n < count && sum < position) {
      before = sum;
      sum += static_cast<int64_t>(lines[n].size()) + 2;
      ++n;
    }
    if (sum < position) RaiseRecoveryFileError();  // the text is shorter than the checkpoint
    if (sum > position) {
      --n;
      lineStart = before;
      resumeColumn = static_cast<int32_t>(position - before);
      info = AnalyseLine(lines, n);
    }
  }
  *textPosition = static_cast<int32_t>(position);

  TContentProbe probe(lines, splitLine);
  buffer.Clear();
  bool fragmentDone = false;
  const std::vector<size_t>& chapters = settings.chapterLines;
  size_t nextChapter = static_cast<size_t>(
      std::lower_bound(chapters.begin(), chapters.end(), n) - chapters.begin());
  // The fragment began at the start of a chapter, or of the text before
  // the first: short, it may share its file with the next chapter.
  bool wholeChapters = false;
  const int64_t shortChapter = settings.shortChaptersShare ? F / 10 : 0;

  while (n < count) {
    const std::string& raw = lines[n];
    const int64_t rawlen = static_cast<int64_t>(raw.size());
    const bool chapterStart =
        resumeColumn == 0 && nextChapter < chapters.size() && chapters[nextChapter] == n;
    if (chapterStart) ++nextChapter;

    if (chapterStart && buffer.length() > 0 &&
        !(wholeChapters && buffer.length() < shortChapter)) {
      // The chapter starts a file of its own: the fragment ends before it.
      fragmentDone = true;
      --nextChapter;
    } else if (resumeColumn == 0 && !splitLine.empty() && EqualIgnoringAsciiCase(raw, splitLine)) {
      // A manual split line ends the fragment and is never spoken.
      fragmentDone = true;
      position += rawlen + 2;
      ++n;
    } else {
      int32_t col;  // 1-based column in the line
      if (resumeColumn == 0) {
        lineStart = position;
        info = AnalyseLine(lines, n);
        col = 1;
      } else {
        col = resumeColumn;
      }
      const int32_t len = info.len;
      while (col <= len && IsBlank(raw[static_cast<size_t>(col) - 1])) ++col;

      if (col > len) {
        // A blank line, or (after a text changed under its checkpoint) a
        // resume column with no word after it: nothing of it is spoken.
        resumeColumn = 0;
        position = lineStart + rawlen + 2;
        ++n;
        if (n == count) fragmentDone = true;
        if (settings.paragraphBreaks) buffer.MarkParagraphBreak();
      } else {
        if (buffer.length() == 0) {
          const size_t from = nextChapter > 0 ? chapters[nextChapter - 1] : 0;
          wholeChapters = resumeColumn == 0 && LinesBlankBetween(lines, from, n);
          events.FragmentStart(buffer, n);
        }

        bool cut = false;
        for (;;) {
          const int32_t wordStart = col;
          while (col <= len && !IsBlank(raw[static_cast<size_t>(col) - 1])) ++col;
          int32_t wordLength = col - wordStart;
          if (col > len && info.hyphenJoin) --wordLength;  // the next line continues the word
          const char* word = raw.data() + wordStart - 1;

          if (wordLength == 1 && IsSentencePunctuation(word[0]) && buffer.lastAppended() == ' ')
            buffer.DropLast();  // detached punctuation follows its word
          buffer.AppendBytes(word, wordLength);

          if (col < len) {
            const int64_t L = buffer.length();
            if (L > F + 512 && (!info.sentenceEnd || len - col > 2048) &&
                (IsSentencePunctuation(raw[static_cast<size_t>(col) - 2]) || L > F + 2048)) {
              buffer.AppendLineBreak();
              fragmentDone = true;
              resumeColumn = col;
              position = lineStart + col;
              cut = true;
              break;
            }
            if (buffer.lastAppended() != kLeftGuillemet) buffer.AppendSpace();
          }
          while (col <= len && IsBlank(raw[static_cast<size_t>(col) - 1])) ++col;
          if (col > len) break;
        }

        if (!cut) {
          resumeColumn = 0;
          position = lineStart + rawlen + 2;
          ++n;
          if (!info.hyphenJoin) {
            const int64_t L = buffer.length();
            if ((L > F && info.sentenceEnd) || L > F + 2048 || n == count) fragmentDone = true;
            buffer.AppendLineBreak();
          }
        }
      }
    }

    *textPosition = static_cast<int32_t>(position);
    if (fragmentDone) {
      bool contentRemains = resumeColumn > 0 || probe.ContentFrom(n);
      events.FragmentEnd(buffer, n == count, contentRemains);
      buffer.Clear();
      fragmentDone = false;
    }
  }
}
