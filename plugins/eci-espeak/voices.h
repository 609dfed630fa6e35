#ifndef NARRAVOX_ECI_VOICES_H
#define NARRAVOX_ECI_VOICES_H

#include <cstdint>

namespace eci {

// A voice in the interface's real-world units, plus the espeak-ng variant
// that gives it its timbre and the pitch that variant speaks at by default.
struct Voice {
  const char* variant = nullptr;  // espeak-ng variant name; nullptr: the language's own
  int32_t nominal_pitch_hz = 100;
  int32_t pitch_hz = 100;
  int32_t speed_wpm = 175;
  int32_t volume = 65535;
};

const int32_t kPresetVoices = 8;

// The default active voice (voice 0 before any copy).
Voice DefaultVoice();

// Preset voice 1..8; nullptr for any other number.
const Voice* PresetVoice(int32_t number);

// espeak-ng voice file of a dialect code (the identifier that espeak-ng
// loads directly); nullptr when the code is unknown.
const char* LanguageOfDialect(int32_t dialect);

// Mappings onto espeak-ng's parameters, clamped to its ranges.
int EspeakPitch(const Voice& voice);   // 0..100
int EspeakRate(const Voice& voice);    // words per minute, 80..1297
int EspeakVolume(const Voice& voice);  // 0..100

}  // namespace eci

#endif
