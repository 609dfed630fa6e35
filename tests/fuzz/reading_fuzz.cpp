// Any bytes as a fragment's text: the Italian rules and the letter case
// never read past the text, and what they give keeps every line break and
// no NUL byte that the text did not have.
#include <algorithm>

#include "fuzz_support.h"
#include "reading/engine_case.h"
#include "reading/italian_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::string normalised = reading::NormaliseItalian(text);
  std::string cased = reading::CaseForEngine(normalised);
  FUZZ_CHECK(cased.size() == normalised.size());
  FUZZ_CHECK(std::count(cased.begin(), cased.end(), '\n') ==
             std::count(text.begin(), text.end(), '\n'));
  FUZZ_CHECK(std::count(cased.begin(), cased.end(), '\0') ==
             std::count(text.begin(), text.end(), '\0'));
  return 0;
}
