#include "daisy/talking_book.h"

#include <algorithm>

#include "daisy/navigation.h"
#include "text/ascii.h"

namespace daisy {

namespace {

// The sections that have audio, their levels within 1 to 6 and never more
// than one below the one before; the first is the title's, at level 1.
TTalkingBook Normalised(const TTalkingBook& book) {
  TTalkingBook normal;
  normal.info = book.info;
  int previous = 0;
  for (const TSection& section : book.sections) {
    if (section.clips.empty()) continue;
    TSection kept = section;
    kept.level = normal.sections.empty() ? 1 : std::clamp(section.level, 1, std::min(6, previous + 1));
    previous = kept.level;
    normal.sections.push_back(std::move(kept));
  }
  return normal;
}

int64_t KBytes(int64_t bytes) { return (bytes + 1023) / 1024; }

}  // namespace

std::vector<TBookFile> NavigationFiles(const TTalkingBook& given) {
  const TTalkingBook book = Normalised(given);
  std::vector<TBookFile> files;
  int64_t elapsed = 0;
  size_t audioFiles = 0;
  int64_t bytes = book.info.audioBytes;
  for (size_t n = 1; n <= book.sections.size(); ++n) {
    const TSection& section = book.sections[n - 1];
    files.push_back({SmilName(n), SmilFile(book.info, section, n, elapsed)});
    bytes += static_cast<int64_t>(files.back().content.size());
    elapsed += SectionTime(section);
    audioFiles += section.clips.size();
  }
  files.push_back({"master.smil", MasterSmil(book, elapsed)});
  bytes += static_cast<int64_t>(files.back().content.size());
  const size_t count = files.size() + 1 + audioFiles;
  // The ncc's own size counts too: taken from a first making of it, whose
  // size differs from the final one's by a digit at most.
  const std::string draft = NccFile(book, elapsed, count, KBytes(bytes));
  files.push_back({"ncc.html", NccFile(book, elapsed, count,
                                       KBytes(bytes + static_cast<int64_t>(draft.size())))});
  return files;
}

bool IsNavigationFileName(const std::string& name) {
  const std::string lower = LowerAscii(name);
  if (lower == "ncc.html" || lower == "master.smil") return true;
  const size_t dot = lower.find('.');
  if (lower.size() < 10 || lower[0] != 's' || dot == std::string::npos ||
      lower.substr(dot) != ".smil")
    return false;
  const std::string digits = lower.substr(1, dot - 1);
  return digits.size() >= 4 && digits.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace daisy
