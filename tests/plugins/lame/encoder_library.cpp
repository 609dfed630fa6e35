#include "encoder_library.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

EncoderLibrary::EncoderLibrary(const std::string& path) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) throw std::runtime_error("cannot load " + path + ": " + dlerror());
  init = reinterpret_cast<BEINITSTREAM>(symbol("beInitStream"));
  encode = reinterpret_cast<BEENCODECHUNK>(symbol("beEncodeChunk"));
  deinit = reinterpret_cast<BEDEINITSTREAM>(symbol("beDeinitStream"));
  close = reinterpret_cast<BECLOSESTREAM>(symbol("beCloseStream"));
  if (!init || !encode || !deinit || !close)
    throw std::runtime_error(path + " lacks an entry point");
}

EncoderLibrary::~EncoderLibrary() { dlclose(handle_); }

void* EncoderLibrary::symbol(const char* name) const { return dlsym(handle_, name); }

BE_CONFIG programConfig(std::uint32_t inRate, std::uint32_t outRate, std::uint32_t kbps) {
  BE_CONFIG config;
  std::memset(&config, 0, sizeof config);
  config.dwConfig = BE_CONFIG_LAME;
  config.dwStructVersion = 1;
  config.dwStructSize = BE_CONFIG_SIZE;
  config.dwSampleRate = inRate;
  config.dwReSampleRate = outRate;
  config.nMode = BE_MP3_MODE_MONO;
  config.dwBitrate = kbps;
  config.bOriginal = -1;
  return config;
}

std::vector<std::int16_t> tone(std::size_t samples, double hz, double rate) {
  std::vector<std::int16_t> out(samples);
  const double step = 2 * 3.14159265358979323846 * hz / rate;
  for (std::size_t i = 0; i < samples; ++i)
    out[i] = static_cast<std::int16_t>(std::lround(8000 * std::sin(step * i)));
  return out;
}

std::vector<std::uint8_t> encodeAll(const EncoderLibrary& library, const BE_CONFIG& config,
                                    const std::vector<std::int16_t>& samples) {
  std::vector<std::uint8_t> mp3;
  BE_CONFIG record = config;
  std::uint32_t chunk = 0, minOutput = 0;
  HBE_STREAM stream = 0;
  const BE_ERR opened = library.init(&record, &chunk, &minOutput, &stream);
  EXPECT_EQ(opened, BE_ERR_SUCCESSFUL);
  if (opened != BE_ERR_SUCCESSFUL || chunk == 0) return mp3;

  std::vector<std::uint8_t> buffer(minOutput);
  for (std::size_t at = 0; at < samples.size(); at += chunk) {
    const std::uint32_t n =
        static_cast<std::uint32_t>(std::min<std::size_t>(chunk, samples.size() - at));
    std::uint32_t bytes = 0;
    EXPECT_EQ(library.encode(stream, n, samples.data() + at, buffer.data(), &bytes),
              BE_ERR_SUCCESSFUL);
    EXPECT_LE(bytes, minOutput);
    mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + std::min(bytes, minOutput));
  }
  std::uint32_t bytes = 0;
  EXPECT_EQ(library.deinit(stream, buffer.data(), &bytes), BE_ERR_SUCCESSFUL);
  EXPECT_LE(bytes, minOutput);
  mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + std::min(bytes, minOutput));
  EXPECT_EQ(library.close(stream), BE_ERR_SUCCESSFUL);
  return mp3;
}
