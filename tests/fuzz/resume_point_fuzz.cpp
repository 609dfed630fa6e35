// Any text resumed at any position: fragments or the RecoveryFile error,
// never a crash or a read past a line.
#include <cstring>

#include "base/errors.h"
#include "engine/text_loading.h"
#include "fragment_recorder.h"
#include "fuzz_support.h"
#include "text/lines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 5 || size > 65536) return 0;
  int32_t position;
  std::memcpy(&position, data, 4);
  TFragmentSettings settings;
  settings.fragmentSize = 1024;
  settings.splitLine = data[4] & 1 ? "---" : "";
  std::vector<std::string> lines;
  lines = text::SplitLines(std::string(reinterpret_cast<const char*>(data) + 5, size - 5));
  try {
    Walk(lines, settings, position);
  } catch (const EError& error) {
    FUZZ_CHECK(std::string(error.what()) == "Errore nel file di ripristino");
  }
  return 0;
}
