#include "config/parse_setting.h"

#include <initializer_list>

#include "text/ascii.h"
#include "base/errors.h"
#include "base/file_names.h"
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
  std::string upper;   // upper-cased: words, numbers and plain texts
  std::string path;    // a file or folder name, in the letter case it needs
  std::string folder;  // where a relative library name lies ("" the current folder)
};

// The library a setting names. On POSIX a library is loaded by its full path
// only, never looked for in whatever folder the run stands in: a relative
// name is completed with the folder its setting came from.
std::string LibraryPath(const TValue& v) {
  if (!platform::kUnixConventions || v.path.empty()) return v.path;
  return platform::FullPath(v.path[0] == '/' ? v.path : v.folder + v.path);
}

// One row per key: its long and short names (the short one empty when it
// has none), whether it shapes the layout of the output folders, how its
// value is read into the settings (false for a value it refuses), and, for
// a setting that shapes the files a conversion writes, how its value is
// written back as a text that read takes to the same value: the
// RecoveryFile keeps those, so that "/R" writes what the interrupted run
// would have written.
struct TSettingRow {
  const char* key;
  const char* shortKey;
  bool layout;
  bool (*read)(const TValue& v, TSettings& s);
  std::string (*record)(const TSettings& s);
  // What the setting takes, in words, for the message of a value refused
  // and for the help.
  const char* values;
  TSettingGroup group;
  const char* summary;  // what it does, in a few words
  // Its default as the help shows it; nullptr for a recorded setting, whose
  // default is what record gives for the default settings.
  const char* defaultValue;
};

// A preset voice by its number or by its name (msg::kVoiceNames, in any
// letter case); the number is what the RecoveryFile keeps.
bool ReadVoice(const TValue& v, TSettings& s) {
  for (int32_t n = 1; n <= 8; ++n) {
    if (v.upper == UpperAscii(msg::kVoiceNames[n - 1])) {
      s.VOCE = n;
      return true;
    }
  }
  return ParseIntegerInRange(v.upper, 0, 8, &s.VOCE);
}

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

// A yes/no word, or the extra word that sets the flag with its variant.
bool ReadFlagOrWord(const TValue& v, const char* word, bool* flag, bool* variant) {
  if (v.upper == word) {
    *flag = *variant = true;
    return true;
  }
  if (!ParseFlag(v.upper, flag)) return false;
  *variant = false;
  return true;
}

bool ReadPriority(const TValue& v, TSettings& s) {
  int32_t n;
  if (LookupWord(v.upper, PriorityWords, &s.PRIORITA)) return true;
  if (!ParseIntegerInRange(v.upper, 0, 2, &n)) return false;
  s.PRIORITA = PriorityWords[n].number;
  return true;
}

// DIZIONARIO: file names joined by ";", each made a full path (relative to
// the configuration file's folder when it comes from there); empty for none.
bool ReadDictionaries(const TValue& v, TSettings& s) {
  std::string typed = v.path, joined;
  for (size_t at = 0; at <= typed.size();) {
    size_t end = typed.find(';', at);
    if (end == std::string::npos) end = typed.size();
    std::string name = ExpandHomeFolder(TrimBlanks(typed.substr(at, end - at)));
    at = end + 1;
    if (name.empty()) continue;
    bool full = name[0] == platform::kPathSeparator || name[0] == '/' ||
                (!platform::kUnixConventions && name.size() > 1 && name[1] == ':');
    if (!full) name = v.folder + name;
    joined += (joined.empty() ? "" : ";") + platform::FullPath(name);
  }
  s.DIZIONARIO = joined;
  return true;
}

std::string Number(int32_t n) { return std::to_string(n); }
std::string NumberOrDefault(int32_t n) { return n < 0 ? "*" : std::to_string(n); }
std::string Flag(bool on) { return on ? "S" : "N"; }

template <size_t N>
std::string WordOf(int32_t number, const TParamData (&table)[N]) {
  for (const TParamData& entry : table)
    if (entry.number == number) return entry.word;
  return std::to_string(number);
}

std::string RecordVolume(const TSettings& s) {
  for (int32_t n = 1; n <= 100; ++n)
    if (n * 65534 / 100 + 1 == s.VOLUME) return Number(n);
  return "*";
}

std::string RecordResample(const TSettings& s) {
  return s.RESAMPLE == 0 ? "N" : s.RESAMPLE == -1 ? "S" : Number(s.RESAMPLE);
}

// The milliseconds of a pause annotation ("`p" and half-milliseconds).
std::string PauseOf(const std::string& annotation) {
  size_t at = annotation.find("`p");
  int32_t halves = 0;
  if (at == std::string::npos) return "0";
  size_t end = annotation.find_first_not_of("0123456789", at + 2);
  text::ParseInteger(annotation.substr(at + 2, end - at - 2), &halves, false);
  return Number(halves / 2);
}

using V = const TValue&;
using S = TSettings&;
using C = const TSettings&;

// clang-format off
const TSettingRow kSettingRows[] = {
  {"MP3DLL", "", false,
   [](V v, S s) { if (!v.path.empty()) s.MP3DLL = LibraryPath(v); return true; }, nullptr, "un file di libreria",
   TSettingGroup::Running, "libreria dell'encoder MP3", "accanto al programma"},
  {"ECIDLL", "", false,
   [](V v, S s) {
     std::string path = LibraryPath(v);
     if (!path.empty() && platform::FileExists(path)) {
       s.ECIDLL = path;
       s.EciPathGiven = true;
     }
     return true;
   }, nullptr, "un file di libreria",
   TSettingGroup::Running, "libreria della sintesi vocale", "quella trovata da /ECISETUP"},
  {"LINGUA", "L", false,
   [](V v, S s) { return LookupWord(v.upper, LanguageCodes, &s.LINGUA); },
   [](C s) { return WordOf(s.LINGUA, LanguageCodes); }, "la lingua e' IT, UK, US, FR, SP, DE o PB",
   TSettingGroup::Voice, "lingua della sintesi", nullptr},
  {"VOCE", "V", false,
   ReadVoice, [](C s) { return Number(s.VOCE); },
   "la voce va da 0 a 8, o uno dei nomi di --voci (uomo, donna, bambino, baritono, uomo2, nonna, "
   "nonno, donna2)",
   TSettingGroup::Voice, "voce della sintesi", nullptr},
  {"VELOCITA", "VE", false,
   [](V v, S s) { return ParseIntegerOrDefault(v.upper, 70, 1297, &s.VELOCITA); },
   [](C s) { return NumberOrDefault(s.VELOCITA); }, "la velocita' va da 70 a 1297, o * per quella della sintesi",
   TSettingGroup::Voice, "velocita' di lettura", nullptr},
  {"TONALITA", "TO", false,
   [](V v, S s) { return ParseIntegerOrDefault(v.upper, 40, 422, &s.TONALITA); },
   [](C s) { return NumberOrDefault(s.TONALITA); }, "la tonalita' va da 40 a 422, o * per quella della sintesi",
   TSettingGroup::Voice, "tonalita' della voce", nullptr},
  {"VOLUME", "VO", false, ReadVolume, RecordVolume, "il volume va da 1 a 100, o * per quello della sintesi",
   TSettingGroup::Voice, "volume della voce", nullptr},
  {"SAMPLE", "SA", false, ReadSample, [](C s) { return Number(s.SAMPLE); }, "la frequenza della sintesi e' 8 o 11 (kHz), 8000 o 11025",
   TSettingGroup::Files, "frequenza di campionamento della sintesi (Hz)", nullptr},
  {"RESAMPLE", "RS", false, ReadResample, RecordResample, "la frequenza dei file e' S, N o una di 8, 11, 12, 16, 22, 24, 32, 44, 48 (kHz)",
   TSettingGroup::Files, "ricampionamento dei file MP3", nullptr},
  {"BITRATE", "BR", false,
   [](V v, S s) { return ParseOneOf(v.upper, {8, 16, 32, 40, 48, 56, 64, 96, 128}, &s.BITRATE); },
   [](C s) { return Number(s.BITRATE); }, "il bitrate e' 8, 16, 32, 40, 48, 56, 64, 96 o 128 (kbit/s)",
   TSettingGroup::Files, "bitrate dei file MP3", nullptr},
  {"ID3TAG", "I3", false,
   [](V v, S s) { return ReadFlagOrWord(v, msg::kWordId3V2, &s.ID3TAG, &s.ID3V2); },
   [](C s) { return s.ID3V2 ? std::string(msg::kWordId3V2) : Flag(s.ID3TAG); }, "il tag ID3 e' S, N o V2",
   TSettingGroup::Files, "tag ID3 nei file MP3 (V2: anche ID3v2 con i titoli)", nullptr},
  {"TIPOTESTO", "T", false,
   [](V v, S s) { return LookupWord(v.upper, TextTypeWords, &s.TIPOTESTO); },
   [](C s) { return WordOf(s.TIPOTESTO, TextTypeWords); }, "il tipo di testo e' AUTO, WINDOWS, DOS o UTF8 (A, W, D, U)",
   TSettingGroup::Reading, "codifica dei testi", nullptr},
  {"DESTINAZIONE", "D", true,
   [](V v, S s) { s.DESTINAZIONE = v.path; return true; }, nullptr, "una cartella",
   TSettingGroup::Writing, "cartella in cui vanno le cartelle dei testi", "la cartella corrente"},
  {"FRAMMENTI", "F", true, ReadFragmentSize, nullptr, "i frammenti vanno da 1 a 128 (KB)",
   TSettingGroup::Reading, "dimensione dei frammenti, uno per file MP3 (KB)", "16"},
  {"GRUPPI", "G", true, ReadGroups, nullptr, "i gruppi vanno da 5 a 50 file, o N per nessun gruppo",
   TSettingGroup::Writing, "numero massimo di file per cartella di gruppo", "N"},
  {"RIUNISCIGRUPPI", "RG", false,
   [](V v, S s) { return ParseFlag(v.upper, &s.RIUNISCIGRUPPI); },
   [](C s) { return Flag(s.RIUNISCIGRUPPI); }, "S o N",
   TSettingGroup::Writing, "riunisce le cartelle dei gruppi in una", nullptr},
  {"CARTELLEROCKBOX", "CR", false,
   [](V v, S s) { return ReadFlagOrWord(v, msg::kWordMp3, &s.CARTELLEROCKBOX, &s.ROCKBOXMP3); },
   [](C s) { return s.ROCKBOXMP3 ? std::string(msg::kWordMp3) : Flag(s.CARTELLEROCKBOX); }, "S, N o MP3",
   TSettingGroup::Writing, "clip vocali delle cartelle per i lettori Rockbox", nullptr},
  {"CLIPFILE", "CF", false,
   [](V v, S s) { return ParseFlag(v.upper, &s.CLIPFILE); },
   [](C s) { return Flag(s.CLIPFILE); }, "S o N",
   TSettingGroup::Writing, "una clip Rockbox accanto a ogni file MP3", nullptr},
  {"IDENTIFICACARTELLA", "IC", false,
   [](V v, S s) { return ParseFlag(v.upper, &s.IDENTIFICACARTELLA); },
   [](C s) { return Flag(s.IDENTIFICACARTELLA); }, "S o N",
   TSettingGroup::Writing, "file MP3 parlato con il nome della cartella", nullptr},
  {"NOMEFILE", "NF", true,
   [](V v, S s) { s.NOMEFILE = v.upper; return true; },
   [](C s) { return s.NOMEFILE; }, "un testo",
   TSettingGroup::Writing, "testo messo davanti al nome di ogni file MP3", nullptr},
  {"RIGAFRAMMENTA", "RF", true,
   [](V v, S s) { s.RIGAFRAMMENTA = v.upper; return true; },
   [](C s) { return s.RIGAFRAMMENTA; }, "una riga di testo",
   TSettingGroup::Reading, "riga che nel testo segna l'inizio di un nuovo frammento", nullptr},
  {"PAUSATESTA", "PT", false,
   [](V v, S s) { return ReadPause(v, &s.PAUSATESTA, HeadPauseAnnotation); },
   [](C s) { return PauseOf(s.PAUSATESTA); }, "la pausa va da 0 a 5000 (ms)",
   TSettingGroup::Voice, "pausa in testa a ogni file MP3 (ms)", nullptr},
  {"PAUSACODA", "PC", false,
   [](V v, S s) { return ReadPause(v, &s.PAUSACODA, TailPauseAnnotation); },
   [](C s) { return PauseOf(s.PAUSACODA); }, "la pausa va da 0 a 5000 (ms)",
   TSettingGroup::Voice, "pausa in coda a ogni file MP3 (ms)", nullptr},
  {"TITOLO", "TI", false,
   [](V v, S s) { return ParseFlag(v.upper, &s.TITOLO); },
   [](C s) { return Flag(s.TITOLO); }, "S o N",
   TSettingGroup::Reading, "legge il nome del testo e il numero all'inizio di ogni file", nullptr},
  {"CAPITOLI", "CA", false,
   [](V v, S s) { return ParseFlag(v.upper, &s.CAPITOLI); },
   [](C s) { return Flag(s.CAPITOLI); }, "S o N",
   TSettingGroup::Reading, "ogni capitolo comincia un file MP3 che ne porta il titolo", nullptr},
  {"NOTE", "NO", false,
   [](V v, S s) { return ParseFlag(v.upper, &s.NOTE); },
   [](C s) { return Flag(s.NOTE); }, "S o N",
   TSettingGroup::Reading, "legge le note di un documento alla fine del loro capitolo", nullptr},
  {"FORMATO", "FO", true,
   [](V v, S s) { return LookupWord(v.upper, FormatWords, &s.FORMATO); },
   [](C s) { return WordOf(s.FORMATO, FormatWords); }, "il formato e' MP3 o DAISY (M, D)",
   TSettingGroup::Writing, "cartelle di file MP3, o libri parlati DAISY 2.02 con la loro navigazione", nullptr},
  {"PAUSAPARAGRAFO", "PP", false,
   [](V v, S s) { return ParseFlag(v.upper, &s.PAUSAPARAGRAFO); },
   [](C s) { return Flag(s.PAUSAPARAGRAFO); }, "S o N",
   TSettingGroup::Voice, "pausa tra i paragrafi e dopo i titoli", nullptr},
  {"MAIUSCOLE", "MA", false,
   [](V v, S s) { return ParseFlag(v.upper, &s.MAIUSCOLE); },
   [](C s) { return Flag(s.MAIUSCOLE); }, "S o N",
   TSettingGroup::Reading, "legge le maiuscole come sono scritte (sigle, numeri romani)", nullptr},
  {"NORMALIZZA", "NZ", false,
   [](V v, S s) { return ParseFlag(v.upper, &s.NORMALIZZA); },
   [](C s) { return Flag(s.NORMALIZZA); }, "S o N",
   TSettingGroup::Reading, "regole di lettura dell'italiano (accenti, abbreviazioni, numeri)", nullptr},
  {"DIZIONARIO", "DZ", false, ReadDictionaries, [](C s) { return s.DIZIONARIO; }, "uno o piu' file, separati da ;",
   TSettingGroup::Reading, "dizionari di pronuncia dell'utente", nullptr},
  {"IMPRONTADIZIONARIO", "", false,
   [](V v, S s) { s.IMPRONTADIZIONARIO = v.upper; return true; },
   [](C s) { return s.IMPRONTADIZIONARIO; }, "un testo",
   TSettingGroup::Reading, "impronta delle regole dei dizionari, scritta dal programma nel file di ripristino", nullptr},
  {"PRIORITA", "P", false, ReadPriority, nullptr, "la priorita' e' BASSA, NORMALE o ALTA (0, 1, 2)",
   TSettingGroup::Running, "priorita' del processo", "BASSA"},
  {"PARALLELI", "PA", false,
   [](V v, S s) { return ParseIntegerInRange(v.upper, 0, 64, &s.PARALLELI); }, nullptr, "i file in lavorazione insieme vanno da 1 a 64, o 0 per uno per processore",
   TSettingGroup::Running, "file MP3 preparati insieme", "0"},
  {"RISULTATI", "RI", false,
   [](V v, S s) { s.RISULTATI = v.path; return true; }, nullptr, "un file",
   TSettingGroup::Running, "file a cui si aggiunge una riga JSON per ogni testo", "nessuno"},
  {"VERBOSITA", "VB", false,
   [](V v, S s) { return ParseIntegerInRange(v.upper, 0, 3, &s.VERBOSITA); }, nullptr, "la verbosita' va da 0 a 3",
   TSettingGroup::Running, "quantita' di messaggi: 0 solo gli errori, 1 i testi, 2 anche i file, 3 anche la sintesi", "2"},
  {"CONFERMACANCELLA", "CC", false,
   [](V v, S s) { return ParseFlag(v.upper, &s.CONFERMACANCELLA); }, nullptr, "S o N",
   TSettingGroup::Running, "chiede conferma prima di cancellare i vecchi file MP3", "S"},
  {"AVVISIFINESTRA", "AF", false,
   [](V v, S s) { return ParseFlag(v.upper, &s.AVVISIFINESTRA); }, nullptr, "S o N",
   TSettingGroup::Running, "domande e avvisi in una finestra", "N"},
  {"MINIMIZZAFINESTRA", "MF", false,
   [](V v, S s) { return ParseFlag(v.upper, &s.MINIMIZZAFINESTRA); }, nullptr, "S o N",
   TSettingGroup::Running, "riduce a icona la finestra della console", "N"},
};
// clang-format on

const TSettingRow* FindRow(const std::string& key) {
  for (const TSettingRow& row : kSettingRows)
    if (key == row.key || (row.shortKey[0] != '\0' && key == row.shortKey)) return &row;
  return nullptr;
}

}  // namespace

namespace {

// "KEY=value" or "/KEY=value", its key and value without blanks around.
struct TSettingText {
  bool keyed = false;  // it has a key and "="
  std::string key, value;
};

TSettingText SplitSettingText(const std::string& text) {
  std::string body = (!text.empty() && text[0] == '/') ? text.substr(1) : text;
  size_t equals = body.find('=');
  TSettingText split;
  if (equals == std::string::npos || equals == 0) return split;
  split.keyed = true;
  split.key = TrimBlanks(body.substr(0, equals));
  split.value = TrimBlanks(body.substr(equals + 1));
  return split;
}

}  // namespace

bool ParseSetting(const std::string& text, TSettings& s, const std::string& libraryFolder) {
  const TSettingText split = SplitSettingText(text);
  const TSettingRow* row = split.keyed ? FindRow(UpperAscii(split.key)) : nullptr;
  if (!row) return false;
  const std::string& typed = split.value;
  TValue value;
  value.upper = UpperAscii(typed);
  // File and folder names keep their letter case where the system tells
  // names apart by it.
  value.path = ExpandHomeFolder(platform::kCaseSensitiveFileNames ? typed : value.upper);
  value.folder = libraryFolder;
  if (!row->read(value, s)) return false;
  if (row->layout) s.LayoutOptionsGiven = true;
  if (row->record) s.ShapingKeysGiven.push_back(row->key);
  return true;
}

std::vector<std::string> RecordSettings(const TSettings& s) {
  std::vector<std::string> lines;
  for (const TSettingRow& row : kSettingRows)
    if (row.record) lines.push_back(std::string(row.key) + "=" + row.record(s));
  return lines;
}

bool IsSettingKey(const std::string& key) { return FindRow(key) != nullptr; }

std::vector<TSettingHelp> SettingsHelp() {
  const TSettings defaults;
  std::vector<TSettingHelp> help;
  for (const TSettingRow& row : kSettingRows) {
    std::string byDefault = row.defaultValue ? row.defaultValue : row.record(defaults);
    help.push_back({row.key, row.shortKey, row.group, row.summary, row.values,
                    byDefault.empty() ? std::string(msg::kHelpNoDefault) : byDefault});
  }
  return help;
}

std::string SettingProblem(const std::string& text) {
  const TSettingText split = SplitSettingText(text);
  if (!split.keyed) return msg::kSettingWithoutEquals;
  const TSettingRow* row = FindRow(UpperAscii(split.key));
  if (!row) return FormatText(msg::kUnknownSettingKey, {split.key});
  return FormatText(msg::kSettingValueRefused, {split.value, row->key}) + row->values;
}

void RaiseInvalidParameter(const std::string& argument) {
  // On POSIX the message says what the key takes.
  const TSettingText split = SplitSettingText(argument);
  const TSettingRow* row = split.keyed ? FindRow(UpperAscii(split.key)) : nullptr;
  if (platform::kUnixConventions && row)
    RaiseError(msg::kInvalidParameter + argument + ": " + row->values);
  RaiseError(msg::kInvalidParameter + argument);
}
