#include "config/parse_setting.h"

#include <initializer_list>

#include "text/ascii.h"
#include "base/errors.h"
#include "base/messages.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "text/lines.h"

namespace {

bool ParseIntegerInRange(const std::string& value, int32_t low, int32_t high, int32_t* n) {
  int32_t parsed;
  if (!text::ParseInteger(value, &parsed) || parsed < low || parsed > high) return false;
  *n = parsed;
  return true;
}

bool ParseIntegerOrDefault(const std::string& value, int32_t low, int32_t high, int32_t* n) {
  if (value == "*") {
    *n = -1;
    return true;
  }
  return ParseIntegerInRange(value, low, high, n);
}

bool ParseOneOf(const std::string& value, std::initializer_list<int32_t> list, int32_t* n) {
  int32_t parsed;
  if (!text::ParseInteger(value, &parsed)) return false;
  for (int32_t allowed : list) {
    if (parsed == allowed) {
      *n = parsed;
      return true;
    }
  }
  return false;
}

template <size_t N>
bool LookupWord(const std::string& value, const TParamData (&table)[N], int32_t* n) {
  for (const TParamData& entry : table) {
    if (value == entry.word) {
      *n = entry.number;
      return true;
    }
  }
  return false;
}

bool ParseFlag(const std::string& value, bool* flag) {
  int32_t n;
  if (!LookupWord(value, YesNoWords, &n)) return false;
  *flag = n == 1;
  return true;
}

bool KeyIs(const std::string& key, std::initializer_list<const char*> names) {
  for (const char* name : names)
    if (key == name) return true;
  return false;
}

}  // namespace

bool ParseSetting(const std::string& text, TSettings& s) {
  std::string body = (!text.empty() && text[0] == '/') ? text.substr(1) : text;
  size_t equals = body.find('=');
  if (equals == std::string::npos || equals == 0) return false;
  std::string key = UpperAscii(TrimBlanks(body.substr(0, equals)));
  std::string typed = TrimBlanks(body.substr(equals + 1));
  std::string value = UpperAscii(typed);
  // File and folder names keep their letter case where the system tells
  // names apart by it.
  const std::string& path = platform::kCaseSensitiveFileNames ? typed : value;
  int32_t n = 0;

  if (key == "MP3DLL") {
    if (!path.empty()) s.MP3DLL = path;
  } else if (key == "ECIDLL") {
    if (!path.empty() && platform::FileExists(path)) {
      s.ECIDLL = path;
      s.EciPathGiven = true;
    }
  } else if (KeyIs(key, {"LINGUA", "L"})) {
    if (!LookupWord(value, LanguageCodes, &s.LINGUA)) return false;
  } else if (KeyIs(key, {"VOCE", "V"})) {
    if (!ParseIntegerInRange(value, 0, 8, &s.VOCE)) return false;
  } else if (KeyIs(key, {"VELOCITA", "VE"})) {
    if (!ParseIntegerOrDefault(value, 70, 1297, &s.VELOCITA)) return false;
  } else if (KeyIs(key, {"TONALITA", "TO"})) {
    if (!ParseIntegerOrDefault(value, 40, 422, &s.TONALITA)) return false;
  } else if (KeyIs(key, {"VOLUME", "VO"})) {
    if (!ParseIntegerOrDefault(value, 1, 100, &n)) return false;
    s.VOLUME = n < 0 ? -1 : n * 65534 / 100 + 1;
  } else if (KeyIs(key, {"SAMPLE", "SA"})) {
    if (!ParseOneOf(value, {8, 11, 8000, 11025}, &n)) return false;
    s.SAMPLE = n <= 11 ? KhzToHz(n) : n;
  } else if (KeyIs(key, {"RESAMPLE", "RS"})) {
    if (LookupWord(value, YesNoWords, &n)) {
      s.RESAMPLE = n == 1 ? -1 : 0;
    } else {
      if (!ParseOneOf(value, {8, 11, 12, 16, 22, 24, 32, 44, 48, 8000, 11025, 12000, 16000,
                              22050, 24000, 32000, 44100, 48000},
                      &n))
        return false;
      s.RESAMPLE = n <= 48 ? KhzToHz(n) : n;
    }
  } else if (KeyIs(key, {"BITRATE", "BR"})) {
    if (!ParseOneOf(value, {8, 16, 32, 40, 48, 56, 64, 96, 128}, &s.BITRATE)) return false;
  } else if (KeyIs(key, {"ID3TAG", "I3"})) {
    if (!ParseFlag(value, &s.ID3TAG)) return false;
  } else if (KeyIs(key, {"TIPOTESTO", "T"})) {
    if (!LookupWord(value, TextTypeWords, &s.TIPOTESTO)) return false;
  } else if (KeyIs(key, {"DESTINAZIONE", "D"})) {
    s.DESTINAZIONE = path;
    s.LayoutOptionsGiven = true;
  } else if (KeyIs(key, {"FRAMMENTI", "F"})) {
    if (!ParseIntegerInRange(value, 1, 128, &n)) return false;
    s.FRAMMENTI = n * 1024;
    s.LayoutOptionsGiven = true;
  } else if (KeyIs(key, {"GRUPPI", "G"})) {
    if (LookupWord(value, YesNoWords, &n)) {
      if (n == 1) return false;
      s.GRUPPI = 0;
    } else {
      if (!ParseIntegerInRange(value, 5, 50, &s.GRUPPI)) return false;
    }
    s.LayoutOptionsGiven = true;
  } else if (KeyIs(key, {"RIUNISCIGRUPPI", "RG"})) {
    if (!ParseFlag(value, &s.RIUNISCIGRUPPI)) return false;
  } else if (KeyIs(key, {"CARTELLEROCKBOX", "CR"})) {
    if (!ParseFlag(value, &s.CARTELLEROCKBOX)) return false;
  } else if (KeyIs(key, {"IDENTIFICACARTELLA", "IC"})) {
    if (!ParseFlag(value, &s.IDENTIFICACARTELLA)) return false;
  } else if (KeyIs(key, {"NOMEFILE", "NF"})) {
    s.NOMEFILE = value;
    s.LayoutOptionsGiven = true;
  } else if (KeyIs(key, {"RIGAFRAMMENTA", "RF"})) {
    s.RIGAFRAMMENTA = value;
    s.LayoutOptionsGiven = true;
  } else if (KeyIs(key, {"PAUSATESTA", "PT"})) {
    if (!ParseIntegerInRange(value, 0, 5000, &n)) return false;
    s.PAUSATESTA = HeadPauseAnnotation(n);
  } else if (KeyIs(key, {"PAUSACODA", "PC"})) {
    if (!ParseIntegerInRange(value, 0, 5000, &n)) return false;
    s.PAUSACODA = TailPauseAnnotation(n);
  } else if (KeyIs(key, {"TITOLO", "TI"})) {
    if (!ParseFlag(value, &s.TITOLO)) return false;
  } else if (KeyIs(key, {"PRIORITA", "P"})) {
    if (!LookupWord(value, PriorityWords, &s.PRIORITA)) {
      if (!ParseIntegerInRange(value, 0, 2, &n)) return false;
      s.PRIORITA = PriorityWords[n].number;
    }
  } else if (KeyIs(key, {"VERBOSITA", "VB"})) {
    if (!ParseIntegerInRange(value, 0, 3, &s.VERBOSITA)) return false;
  } else if (KeyIs(key, {"CONFERMACANCELLA", "CC"})) {
    if (!ParseFlag(value, &s.CONFERMACANCELLA)) return false;
  } else if (KeyIs(key, {"AF", "AVVISIFINESTRA"})) {
    if (!ParseFlag(value, &s.AVVISIFINESTRA)) return false;
  } else if (KeyIs(key, {"MF", "MINIMIZZAFINESTRA"})) {
    if (!ParseFlag(value, &s.MINIMIZZAFINESTRA)) return false;
  } else {
    return false;
  }
  return true;
}

void RaiseInvalidParameter(const std::string& argument) {
  RaiseError(msg::kInvalidParameter + argument);
}
