// The settings of a run: one field per configuration key, with its default.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

// A word of a settings table and the number it stands for.
struct TParamData {
  const char* word;
  int32_t number;
};

extern const TParamData LanguageCodes[7];
extern const TParamData YesNoWords[6];
extern const TParamData TextTypeWords[8];
extern const TParamData PriorityWords[3];
extern const TParamData FormatWords[4];

// The forms of a text's output: its folder of MP3 files, or a DAISY 2.02
// talking book (the same MP3 files with their navigation).
constexpr int32_t kFormatMp3 = 0;
constexpr int32_t kFormatDaisy = 1;

// The ranges of the fragment size (in KB) and of the group size; a group
// size of 0 means no groups.
constexpr int32_t kMinFragmentKb = 1;
constexpr int32_t kMaxFragmentKb = 128;
constexpr int32_t kMinGroupSize = 5;
constexpr int32_t kMaxGroupSize = 50;

constexpr int32_t kPriorityIdle = 0x40;
constexpr int32_t kPriorityNormal = 0x20;
constexpr int32_t kPriorityHigh = 0x80;

// The engine annotation texts for a head or tail pause of n (0 to 5000);
// empty for 0.
std::string HeadPauseAnnotation(int32_t n);
std::string TailPauseAnnotation(int32_t n);
// The engine annotation text of the pause between two paragraphs.
extern const char* const kParagraphPauseAnnotation;

// Maps the short forms of sampling rates (8, 11, 22 ...) to hertz; any
// other number is returned unchanged.
int32_t KhzToHz(int32_t n);

struct TSettings {
  std::string MP3DLL;         // encoder library
  std::string ECIDLL;         // speech engine library
  int32_t LINGUA = 0x50000;   // /L  engine language and dialect
  int32_t VOCE = 0;           // /V  preset voice, 0 keeps the engine's
  int32_t VELOCITA = 200;     // /VE speaking rate, -1 the engine's own
  int32_t TONALITA = -1;      // /TO pitch, -1 the engine's own
  int32_t VOLUME = 65535;     // /VO volume (scaled), -1 the engine's own
  int32_t SAMPLE = 11025;     // /SA engine sampling rate in Hz
  int32_t RESAMPLE = 0;       // /RS 0 none, -1 by the pipeline, else output rate
  int32_t BITRATE = 48;       // /BR MP3 bit rate in kbit/s
  bool ID3TAG = false;        // /I3 append an ID3v1 tag
  bool ID3V2 = false;         // /I3=V2 also an ID3v2.3 tag at the start
  int32_t TIPOTESTO = 0;      // /T  0 automatic, 1 Windows, 2 DOS, 3 UTF-8
  std::string DESTINAZIONE;   // /D  destination folder
  int32_t FRAMMENTI = 16384;  // /F  fragment size in bytes
  int32_t GRUPPI = 0;         // /G  files per group, 0 no groups
  bool RIUNISCIGRUPPI = false;      // /RG join the group folders
  bool CARTELLEROCKBOX = false;     // /CR folder identifiers for RockBox players
  bool ROCKBOXMP3 = false;          // /CR=MP3 the RockBox clips as MP3, not Speex
  bool CLIPFILE = false;            // /CF a RockBox clip beside every MP3 file
  bool IDENTIFICACARTELLA = false;  // /IC spoken folder identifiers
  std::string NOMEFILE;       // /NF prefix of every MP3 file name
  std::string RIGAFRAMMENTA;  // /RF line that marks a manual fragment break
  std::string PAUSATESTA;     // /PT head pause annotation
  std::string PAUSACODA;      // /PC tail pause annotation
  bool TITOLO = true;         // /TI titles in the fragments
  bool CAPITOLI = true;       // /CA chapters start files and give their titles
  bool NOTE = false;          // /NO a document's notes read at the end of their chapter
  int32_t FORMATO = kFormatMp3;  // /FO the output's form: MP3 folders or DAISY books
  bool PAUSAPARAGRAFO = true; // /PP a pause between paragraphs and after headings
  // /MA the engine reads capitals as written (PDF spelled, XIV an ordinal);
  // off, the text is lower-cased as the engine of Windows has always had it.
  bool MAIUSCOLE = platform::kUnixConventions;
  bool NORMALIZZA = true;     // /NZ Italian accents, abbreviations, numerals, addresses
  std::string DIZIONARIO;     // /DZ the user's dictionaries, full paths joined by ";"
  std::string IMPRONTADIZIONARIO;  // the digest of their rules, as the run began
  int32_t PRIORITA = kPriorityIdle;  // /P process priority class
  int32_t PARALLELI = 0;      // /PA MP3 files in progress at once, 0 one per processor
  int32_t VERBOSITA = 2;      // /VB amount of console output, 0 to 3
  std::string RISULTATI;      // /RI file of one JSON line per text (run_results.h), full path
  bool CONFERMACANCELLA = true;   // /CC ask before deleting old MP3 files
  bool AVVISIFINESTRA = false;    // /AF questions and errors in message boxes
  bool MINIMIZZAFINESTRA = false; // /MF minimise the console window

  // Run flags, not keys: a layout setting, or a setting that shapes the
  // files, was accepted (both cleared after the configuration file, so that
  // they tell of the command line), and an ECIDLL value naming an existing
  // file was accepted.
  bool LayoutOptionsGiven = false;
  std::vector<std::string> ShapingKeysGiven;
  bool EciPathGiven = false;

  TSettings();
};

// The settings of the run: written while the run is set up (by the option
// parser, the configuration file, the engine search and the RecoveryFile),
// read-only for the conversion and the pipeline afterwards.
extern const TSettings& Settings;
TSettings& EditableSettings();
