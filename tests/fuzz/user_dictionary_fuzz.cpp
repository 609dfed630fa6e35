// Any bytes as a dictionary file: loaded or refused with an error that
// names the line, never a crash; its word rules applied to any text. Files
// with patterns are loaded but not applied: a pattern of nested repeats
// takes exponential time in libstdc++'s matcher, and that is the user's own.
#include "fuzz_support.h"
#include "reading/user_dictionary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  size_t cut = bytes.find('\x01');
  std::string file = bytes.substr(0, cut);
  std::string text = cut == std::string::npos ? "Il signor Rossi, a pag. 12." : bytes.substr(cut + 1);
  std::string error;
  reading::TUserDictionary dictionary = reading::TUserDictionary::Load({{"d.txt", file}}, &error);
  if (!error.empty()) {
    FUZZ_CHECK(error.find("Errore nel dizionario \"d.txt\", riga ") == 0);
    FUZZ_CHECK(dictionary.Empty());
    return 0;
  }
  if (file.find('/') == std::string::npos) dictionary.Apply(text);
  FUZZ_CHECK(dictionary.Digest().size() == 16);
  return 0;
}
