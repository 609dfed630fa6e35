// Any configuration file: applied or refused with a line number, never more.
#include "base/errors.h"
#include "base/file_names.h"
#include "config/config_file.h"
#include "fuzz_support.h"
#include "text/lines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ResetRun();
  std::string text(reinterpret_cast<const char*>(data), size);
  try {
    ApplyConfigurationLines(text::SplitLines(text));
  } catch (const EError& error) {
    FUZZ_CHECK(std::string(error.what()).rfind("Errore nel file di configurazione ", 0) == 0);
  }
  return 0;
}
