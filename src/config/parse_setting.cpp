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

// A setting's value in the forms a row reads it in.
struct TValue {
  std::string upper;  // upper-cased: words, numbers and plain texts
  std::string path;   // a file or folder name, in the letter case it needs
};

// One row per key: its long and short names (the short one empty when it
// has none), whether it shapes the layout of the output folders (so that
// "/R" keeps the RecoveryFile's value), and how its value is read into the
// settings; a row answers false for a value it refuses.
struct TSettingRow {
  const char* key;
  const char* shortKey;
  bool layout;
  bool (*read)(const TValue& v, TSettings& s);
};

bool ReadVolume(const TValue& v, TSettings& s) {
  int32_t n;
  if (!ParseIntegerOrDefault(v.upper, 1, 100, &n)) return false;
  s.VOLUME = n < 0 ? -1 : n * 65534 / 100 + 1;
  return true;
}

bool ReadSample(const TValue& v, TSettings& s) {
  int32_t n;
  if (!ParseOneOf(v.upper, {8, 11, 8000, 11025}, &n)) return false;
  s.SAMPLE = n <= 11 ? KhzToHz(n) : n;
  return true;
}

bool ReadResample(const TValue& v, TSettings& s) {
  int32_t n;
  if (LookupWord(v.upper, YesNoWords, &n)) {
    s.RESAMPLE = n == 1 ? -1 : 0;
    return true;
  }
  if (!ParseOneOf(v.upper, {8, 11, 12, 16, 22, 24, 32, 44, 48, 8000, 11025, 12000, 16000, 22050,
                            24000, 32000, 44100, 48000},
                  &n))
    return false;
  s.RESAMPLE = n <= 48 ? KhzToHz(n) : n;
  return true;
}

bool ReadFragmentSize(const TValue& v, TSettings& s) {
  int32_t n;
  if (!ParseIntegerInRange(v.upper, kMinFragmentKb, kMaxFragmentKb, &n)) return false;
  s.FRAMMENTI = n * 1024;
  return true;
}

bool ReadGroups(const TValue& v, TSettings& s) {
  int32_t n;
  if (LookupWord(v.upper, YesNoWords, &n)) {
    if (n == 1) return false;
    s.GRUPPI = 0;
    return true;
  }
  return ParseIntegerInRange(v.upper, kMinGroupSize, kMaxGroupSize, &s.GRUPPI);
}

bool ReadPause(const TValue& v, std::string* annotation, std::string (*make)(int32_t)) {
  int32_t n;
  if (!ParseIntegerInRange(v.upper, 0, 5000, &n)) return false;
  *annotation = make(n);
  return true;
}

bool ReadPriority(const TValue& v, TSettings& s) {
  int32_t n;
  if (LookupWord(v.upper, PriorityWords, &s.PRIORITA)) return true;
  if (!ParseIntegerInRange(v.upper, 0, 2, &n)) return false;
  s.PRIORITA = PriorityWords[n].number;
  return true;
}

using V = const TValue&;
using S = TSettings&;

const TSettingRow kSettingRows[] = {
    {"MP3DLL", "", false, [](V v, S s) { if (!v.path.empty()) s.MP3DLL = v.path; return true; }},
    {"ECIDLL", "", false, [](V v, S s) {
       if (!v.path.empty() && platform::FileExists(v.path)) {
         s.ECIDLL = v.path;
         s.EciPathGiven = true;
       }
       return true;
     }},
    {"LINGUA", "L", false, [](V v, S s) { return LookupWord(v.upper, LanguageCodes, &s.LINGUA); }},
    {"VOCE", "V", false, [](V v, S s) { return ParseIntegerInRange(v.upper, 0, 8, &s.VOCE); }},
    {"VELOCITA", "VE", false,
     [](V v, S s) { return ParseIntegerOrDefault(v.upper, 70, 1297, &s.VELOCITA); }},
    {"TONALITA", "TO", false,
     [](V v, S s) { return ParseIntegerOrDefault(v.upper, 40, 422, &s.TONALITA); }},
    {"VOLUME", "VO", false, ReadVolume},
    {"SAMPLE", "SA", false, ReadSample},
    {"RESAMPLE", "RS", false, ReadResample},
    {"BITRATE", "BR", false,
     [](V v, S s) { return ParseOneOf(v.upper, {8, 16, 32, 40, 48, 56, 64, 96, 128}, &s.BITRATE); }},
    {"ID3TAG", "I3", false, [](V v, S s) { return ParseFlag(v.upper, &s.ID3TAG); }},
    {"TIPOTESTO", "T", false,
     [](V v, S s) { return LookupWord(v.upper, TextTypeWords, &s.TIPOTESTO); }},
    {"DESTINAZIONE", "D", true, [](V v, S s) { s.DESTINAZIONE = v.path; return true; }},
    {"FRAMMENTI", "F", true, ReadFragmentSize},
    {"GRUPPI", "G", true, ReadGroups},
    {"RIUNISCIGRUPPI", "RG", false, [](V v, S s) { return ParseFlag(v.upper, &s.RIUNISCIGRUPPI); }},
    {"CARTELLEROCKBOX", "CR", false,
     [](V v, S s) { return ParseFlag(v.upper, &s.CARTELLEROCKBOX); }},
    {"IDENTIFICACARTELLA", "IC", false,
     [](V v, S s) { return ParseFlag(v.upper, &s.IDENTIFICACARTELLA); }},
    {"NOMEFILE", "NF", true, [](V v, S s) { s.NOMEFILE = v.upper; return true; }},
    {"RIGAFRAMMENTA", "RF", true, [](V v, S s) { s.RIGAFRAMMENTA = v.upper; return true; }},
    {"PAUSATESTA", "PT", false,
     [](V v, S s) { return ReadPause(v, &s.PAUSATESTA, HeadPauseAnnotation); }},
    {"PAUSACODA", "PC", false,
     [](V v, S s) { return ReadPause(v, &s.PAUSACODA, TailPauseAnnotation); }},
    {"TITOLO", "TI", false, [](V v, S s) { return ParseFlag(v.upper, &s.TITOLO); }},
    {"PRIORITA", "P", false, ReadPriority},
    {"VERBOSITA", "VB", false,
     [](V v, S s) { return ParseIntegerInRange(v.upper, 0, 3, &s.VERBOSITA); }},
    {"CONFERMACANCELLA", "CC", false,
     [](V v, S s) { return ParseFlag(v.upper, &s.CONFERMACANCELLA); }},
    {"AVVISIFINESTRA", "AF", false,
     [](V v, S s) { return ParseFlag(v.upper, &s.AVVISIFINESTRA); }},
    {"MINIMIZZAFINESTRA", "MF", false,
     [](V v, S s) { return ParseFlag(v.upper, &s.MINIMIZZAFINESTRA); }},
};

const TSettingRow* FindRow(const std::string& key) {
  for (const TSettingRow& row : kSettingRows)
    if (key == row.key || (row.shortKey[0] != '\0' && key == row.shortKey)) return &row;
  return nullptr;
}

}  // namespace

bool ParseSetting(const std::string& text, TSettings& s) {
  std::string body = (!text.empty() && text[0] == '/') ? text.substr(1) : text;
  size_t equals = body.find('=');
  if (equals == std::string::npos || equals == 0) return false;
  const TSettingRow* row = FindRow(UpperAscii(TrimBlanks(body.substr(0, equals))));
  if (!row) return false;
  std::string typed = TrimBlanks(body.substr(equals + 1));
  TValue value;
  value.upper = UpperAscii(typed);
  // File and folder names keep their letter case where the system tells
  // names apart by it.
  value.path = platform::kCaseSensitiveFileNames ? typed : value.upper;
  if (!row->read(value, s)) return false;
  if (row->layout) s.LayoutOptionsGiven = true;
  return true;
}

bool IsSettingKey(const std::string& key) { return FindRow(key) != nullptr; }

void RaiseInvalidParameter(const std::string& argument) {
  RaiseError(msg::kInvalidParameter + argument);
}
