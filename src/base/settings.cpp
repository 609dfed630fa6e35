#include "base/settings.h"

#include "base/messages.h"
#include "platform/platform.h"

const TParamData LanguageCodes[7] = {
    {"IT", 0x50000}, {"UK", 0x10001}, {"FR", 0x30000}, {"SP", 0x20000},
    {"DE", 0x40000}, {"PB", 0x70000}, {"US", 0x10000}};

const TParamData YesNoWords[6] = {{msg::kYesLong, 1}, {msg::kNoLong, 0}, {msg::kYes, 1},
                                  {msg::kNo, 0},      {"ON", 1},         {"OFF", 0}};

// UTF8 and U select UTF-8 texts, which the help text does not list.
const TParamData TextTypeWords[8] = {{msg::kWordAuto, 0},    {msg::kWordAutoShort, 0},
                                     {msg::kWordWindows, 1}, {msg::kWordWindowsShort, 1},
                                     {msg::kWordDos, 2},     {msg::kWordDosShort, 2},
                                     {msg::kWordUtf8, 3},    {msg::kWordUtf8Short, 3}};

const TParamData FormatWords[4] = {{"MP3", kFormatMp3}, {"M", kFormatMp3},
                                   {"DAISY", kFormatDaisy}, {"D", kFormatDaisy}};

const TParamData PriorityWords[3] = {{msg::kWordLow, kPriorityIdle},
                                     {msg::kWordNormal, kPriorityNormal},
                                     {msg::kWordHigh, kPriorityHigh}};

std::string HeadPauseAnnotation(int32_t n) {
  return n == 0 ? std::string() : "`p" + std::to_string(2 * n) + "\r\n";
}

std::string TailPauseAnnotation(int32_t n) {
  return n == 0 ? std::string() : "\r\n`p" + std::to_string(2 * n) + "\r\n";
}

// 450 ms, in the engine's half milliseconds: about the pause that espeak-ng
// itself leaves between two paragraphs.
const char* const kParagraphPauseAnnotation = "`p900";

int32_t KhzToHz(int32_t n) {
  switch (n) {
    case 8: return 8000;
    case 11: return 11025;
    case 12: return 12000;
    case 16: return 16000;
    case 22: return 22050;
    case 24: return 24000;
    case 32: return 32000;
    case 44: return 44100;
    case 48: return 48000;
    default: return n;
  }
}

TSettings::TSettings()
    : MP3DLL(platform::kDefaultEncoderLibrary),
      ECIDLL(platform::kDefaultEngineLibrary),
      DESTINAZIONE(std::string(".") + platform::kPathSeparator),
      PAUSACODA(TailPauseAnnotation(500)) {}

namespace {
TSettings TheSettings;
}  // namespace

const TSettings& Settings = TheSettings;

TSettings& EditableSettings() { return TheSettings; }
