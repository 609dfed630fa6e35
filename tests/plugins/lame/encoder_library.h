// An encoder library loaded with dlopen and bound by entry-point name, as the
// program binds it, plus the configuration record as the program fills it.
#pragma once

#include "narravox/bladeenc_api.h"

#include <cstdint>
#include <string>
#include <vector>

class EncoderLibrary {
 public:
  explicit EncoderLibrary(const std::string& path);
  ~EncoderLibrary();
  EncoderLibrary(const EncoderLibrary&) = delete;
  EncoderLibrary& operator=(const EncoderLibrary&) = delete;

  // Null when the library does not export the name.
  void* symbol(const char* name) const;

  BEINITSTREAM init = nullptr;
  BEENCODECHUNK encode = nullptr;
  BEDEINITSTREAM deinit = nullptr;
  BECLOSESTREAM close = nullptr;

 private:
  void* handle_ = nullptr;
};

// dwConfig 256, version 1, size 332, the two rates, mono, the bit rate,
// bOriginal -1 and everything else 0.
BE_CONFIG programConfig(std::uint32_t inRate, std::uint32_t outRate, std::uint32_t kbps);

// A sine tone of amplitude 8000.
std::vector<std::int16_t> tone(std::size_t samples, double hz, double rate);

// One stream from open to close: every chunk's output and the flush's,
// appended.  Fails the current test on any non-zero result or on a call
// that writes more than the minimum output size.
std::vector<std::uint8_t> encodeAll(const EncoderLibrary& library, const BE_CONFIG& config,
                                    const std::vector<std::int16_t>& samples);
