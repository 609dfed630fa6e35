// Any text, any fragment size, any split line: no non-blank byte is lost, no
// fragment grows past F + 4096 + the longest word, and resuming at any
// checkpoint gives the same remaining fragments as the uninterrupted walk.
#include <algorithm>

#include "engine/text_loading.h"
#include "fragment_recorder.h"
#include "fuzz_support.h"
#include "text/ascii.h"
#include "text/lines.h"

namespace {

bool Blank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

// The non-blank bytes that the fragments must hold: those of every line but
// the split lines, less the hyphen of each line that joins the next.
std::string ExpectedBytes(const std::vector<std::string>& lines, const std::string& split) {
  std::string bytes;
  for (size_t n = 0; n < lines.size(); ++n) {
    const std::string& raw = lines[n];
    if (!split.empty() && UpperAscii(raw) == UpperAscii(split)) continue;
    size_t len = raw.size();
    while (len > 0 && Blank(raw[len - 1])) --len;
    bool join = len >= 2 && raw[len - 1] == '-' && !Blank(raw[len - 2]) && n + 1 < lines.size();
    for (size_t i = 0; i < len - (join ? 1 : 0); ++i)
      if (!Blank(raw[i])) bytes += raw[i];
  }
  std::sort(bytes.begin(), bytes.end());
  return bytes;
}

size_t LongestWord(const std::vector<std::string>& lines) {
  size_t longest = 0;
  for (const std::string& line : lines) {
    size_t run = 0;
    for (char c : line) {
      run = Blank(c) ? 0 : run + 1;
      longest = std::max(longest, run);
    }
  }
  return longest;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3 || size > 65536) return 0;
  TFragmentSettings settings;
  settings.fragmentSize = 1024 * (1 + data[0] % 128);
  // Small sizes are the interesting ones for short inputs.
  if (data[1] & 1) settings.fragmentSize = 1024;
  const char* splits[] = {"", "---", "*", "CAPITOLO"};
  settings.splitLine = splits[data[1] >> 1 & 3];
  std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);
  std::vector<std::string> lines;
  lines = text::SplitLines(text);

  TFragmentRecorder whole = Walk(lines, settings, 0);
  std::string spoken;
  size_t limit = static_cast<size_t>(settings.fragmentSize) + 4096 + LongestWord(lines);
  for (const std::string& fragment : whole.fragments) {
    FUZZ_CHECK(fragment.size() <= limit);
    for (char c : fragment)
      if (!Blank(c)) spoken += c;
  }
  std::sort(spoken.begin(), spoken.end());
  FUZZ_CHECK(spoken == ExpectedBytes(lines, settings.splitLine));

  for (size_t k = 0; k < whole.checkpoints.size(); ++k) {
    TFragmentRecorder resumed = Walk(lines, settings, whole.checkpoints[k]);
    FUZZ_CHECK(std::equal(resumed.fragments.begin(), resumed.fragments.end(),
                          whole.fragments.begin() + static_cast<long>(k) + 1,
                          whole.fragments.end()));
    FUZZ_CHECK(resumed.fragments.size() == whole.fragments.size() - k - 1);
  }
  return 0;
}
