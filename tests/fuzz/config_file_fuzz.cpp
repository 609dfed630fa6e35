// Any configuration file: applied or refused with a line number, never more.
#include "config/config_file.h"
#include "driver/errors.h"
#include "driver/file_names.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ResetRun();
  std::string text(reinterpret_cast<const char*>(data), size);
  try {
    ApplyConfigurationLines(SplitTextLines(text));
  } catch (const EError& error) {
    FUZZ_CHECK(std::string(error.what()).rfind("Errore nel file di configurazione, riga ", 0) == 0);
  }
  return 0;
}
