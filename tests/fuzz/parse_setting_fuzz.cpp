// Any setting text: accepted values always land inside their ranges.
#include "config/parse_setting.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TSettings s;
  std::string text(reinterpret_cast<const char*>(data), size);
  if (!ParseSetting(text, s)) return 0;
  FUZZ_CHECK(s.FRAMMENTI >= 1024 && s.FRAMMENTI <= 131072 && s.FRAMMENTI % 1024 == 0);
  FUZZ_CHECK(s.GRUPPI == 0 || (s.GRUPPI >= 5 && s.GRUPPI <= 50));
  FUZZ_CHECK(s.VERBOSITA >= 0 && s.VERBOSITA <= 3);
  FUZZ_CHECK(s.VOCE >= 0 && s.VOCE <= 8);
  FUZZ_CHECK(s.SAMPLE == 8000 || s.SAMPLE == 11025);
  FUZZ_CHECK(s.VOLUME == -1 || (s.VOLUME >= 656 && s.VOLUME <= 65535));
  FUZZ_CHECK(s.TIPOTESTO >= 0 && s.TIPOTESTO <= 3);
  FUZZ_CHECK(s.PRIORITA == 0x40 || s.PRIORITA == 0x20 || s.PRIORITA == 0x80);
  return 0;
}
