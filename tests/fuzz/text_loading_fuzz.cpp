// Any bytes as a text of any type: prepared into lines without NUL bytes or
// line breaks.
#include "engine/text_loading.h"
#include "fuzz_support.h"
#include "text/lines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  int32_t type = data[0] % 4;
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  bool oem = type == kTextDos;
  PrepareText(&text, type, &oem);
  FUZZ_CHECK(text.find('\0') == std::string::npos);
  std::vector<std::string> lines;
  lines = text::SplitLines(text);
  size_t total = 0;
  for (const std::string& line : lines) {
    FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
    total += line.size();
  }
  FUZZ_CHECK(total <= text.size());
  return 0;
}
