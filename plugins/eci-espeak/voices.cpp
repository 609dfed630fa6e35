#include "voices.h"

#include <algorithm>

namespace eci {
namespace {

struct Dialect {
  int32_t code;
  const char* language;
};

const Dialect kDialects[] = {
    {0x10000, "gmw/en-US"}, {0x10001, "gmw/en"}, {0x20000, "roa/es"},    {0x30000, "roa/fr"},
    {0x40000, "gmw/de"},    {0x50000, "roa/it"}, {0x70000, "roa/pt-BR"},
};

Voice MakePreset(const char* variant, int32_t pitch_hz, int32_t speed_wpm) {
  Voice v;
  v.variant = variant;
  v.nominal_pitch_hz = pitch_hz;
  v.pitch_hz = pitch_hz;
  v.speed_wpm = speed_wpm;
  return v;
}

// Nominal pitches follow the variants' pitch ranges relative to the
// default voice, whose median is about 100 Hz at espeak-ng pitch 50.
const Voice kPresets[kPresetVoices] = {
    MakePreset("m3", 100, 175),       // adult male
    MakePreset("f2", 180, 175),       // adult female
    MakePreset("zac", 315, 175),      // child
    MakePreset("m4", 90, 165),        // deep male
    MakePreset("m6", 100, 180),       // second adult male
    MakePreset("grandma", 175, 155),  // older female
    MakePreset("grandpa", 100, 150),  // older male
    MakePreset("f4", 170, 180),       // second adult female
};

}  // namespace

Voice DefaultVoice() { return Voice(); }

const Voice* PresetVoice(int32_t number) {
  if (number < 1 || number > kPresetVoices) return nullptr;
  return &kPresets[number - 1];
}

const char* LanguageOfDialect(int32_t dialect) {
  for (const Dialect& d : kDialects)
    if (d.code == dialect) return d.language;
  return nullptr;
}

int EspeakPitch(const Voice& voice) {
  // espeak-ng's pitch 0, 50 and 100 give a median of about 66, 100 and
  // 168 Hz for a voice whose nominal pitch is 100 Hz; scale the request
  // onto that voice and interpolate between those points.
  const double nominal = voice.nominal_pitch_hz > 0 ? voice.nominal_pitch_hz : 100;
  const double hz = voice.pitch_hz * 100.0 / nominal;
  double value;
  if (hz <= 100.0)
    value = (hz - 66.0) * 50.0 / 34.0;
  else
    value = 50.0 + (hz - 100.0) * 50.0 / 68.0;
  return std::clamp(static_cast<int>(value + 0.5), 0, 100);
}

int EspeakRate(const Voice& voice) { return std::clamp<int>(voice.speed_wpm, 80, 1297); }

int EspeakVolume(const Voice& voice) {
  const int64_t v = std::clamp<int64_t>(voice.volume, 0, 65535);
  return static_cast<int>((v * 100 + 32767) / 65535);
}

}  // namespace eci
