// RockBox voice clips: raw wideband Speex (16000 Hz, 320 samples a frame),
// packed bit after bit with nothing around them, as the players' voice
// decoder reads them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Whether this build can write Speex clips (it has libspeex).
bool SpeexClipsAvailable();

// Encodes mono samples at rate hertz into a clip: resampled to 16000 Hz,
// followed by the encoder's lookahead in silence so that all speech comes
// out, VBR quality 8, complexity 3.
std::string EncodeSpeexClip(const std::vector<int16_t>& samples, int32_t rate);
