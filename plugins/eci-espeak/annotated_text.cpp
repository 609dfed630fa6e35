#include "annotated_text.h"

#include <cctype>

#include "text/code_pages.h"

namespace eci {
namespace {

// Longest pause an annotation can ask for: about 17 minutes.
const int64_t kMaxPauseHalfMs = 2000000;

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void AppendPlain(const char* begin, const char* end, std::vector<Segment>& queue) {
  if (begin == end) return;
  if (queue.empty() || queue.back().IsPause()) queue.emplace_back();
  text::AppendCp1252AsUtf8(begin, static_cast<size_t>(end - begin), &queue.back().text);
}

void AppendPause(int64_t half_ms, std::vector<Segment>& queue) {
  if (half_ms <= 0) return;
  if (!queue.empty() && queue.back().IsPause()) {
    queue.back().pause_half_ms += half_ms;
    return;
  }
  Segment pause;
  pause.pause_half_ms = half_ms;
  queue.push_back(pause);
}

}  // namespace

void AppendText(const char* text, bool annotated, std::vector<Segment>& queue) {
  const char* p = text;
  if (!annotated) {
    while (*p) ++p;
    AppendPlain(text, p, queue);
    return;
  }
  const char* plain = p;
  while (*p) {
    if (*p != '`') {
      ++p;
      continue;
    }
    AppendPlain(plain, p, queue);
    ++p;  // the backquote
    const char* name = p;
    while (IsAsciiLetter(*p)) ++p;
    const char* name_end = p;
    bool negative = false;
    if ((*p == '-' || *p == '+') && IsDigit(p[1])) {
      negative = *p == '-';
      ++p;
    }
    int64_t number = 0;
    bool has_number = false;
    while (IsDigit(*p)) {
      has_number = true;
      if (number < kMaxPauseHalfMs) number = number * 10 + (*p - '0');
      ++p;
    }
    if (name_end - name == 1 && (*name == 'p' || *name == 'P') && has_number && !negative)
      AppendPause(number < kMaxPauseHalfMs ? number : kMaxPauseHalfMs, queue);
    plain = p;
  }
  AppendPlain(plain, p, queue);
}

}  // namespace eci
