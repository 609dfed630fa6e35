// libfake_lame_enc: a fake MP3 encoder library with the interface of
// bladeenc_api.h, for tests of the program's audio pipeline.
//
// Output: beEncodeChunk writes one byte per sample, the sample's low byte.
// Paired with a fake engine that turns every text byte into one sample of
// that value, the "MP3" file holds the very text that was spoken into it.
// beDeinitStream writes nothing unless NARRAVOX_FAKE_ENC_FLUSH says so.
//
// Environment (read at the first call, and again by narravoxFakeEncReset):
//   NARRAVOX_FAKE_ENC_LOG     File to which every call is appended, one line
//                             per call (no log when unset):
//       beInitStream dwConfig=256 ... nVBRQuality=0 config=<664 hex digits,
//           the 332 record bytes> -> 0 samplesPerChunk=576
//           minOutputBytes=7200 stream=1
//       beEncodeChunk stream=1 nSamples=576 -> 0 outputBytes=576
//       beDeinitStream stream=1 -> 0 outputBytes=0
//       beCloseStream stream=1 -> 0
//     An injected failure ends in "-> <code> injected" and the call does
//     nothing else.  Unreadable settings are logged as "fake: ignored ...".
//   NARRAVOX_FAKE_ENC_CHUNK   Samples per chunk reported by beInitStream
//                             (default 576).
//   NARRAVOX_FAKE_ENC_MINOUT  Minimum output size reported by beInitStream
//                             (default 7200).
//   NARRAVOX_FAKE_ENC_FLUSH   Bytes that beDeinitStream writes (default none).
//   NARRAVOX_FAKE_ENC_MARK    When set, beDeinitStream also writes the
//                             stream's bit rate and sample rate as
//                             "[48 kbit/s 11025 Hz]", so that a test can
//                             tell which settings made a file.
//   NARRAVOX_FAKE_ENC_FRAMES  When set, every chunk comes out as one MPEG-2
//                             or 2.5 Layer III frame at the stream's output
//                             rate (8000 to 24000 Hz), 160 kbit/s: a header,
//                             the chunk's bytes as above, zeros to the
//                             frame's length. A reader of frame headers
//                             then finds one frame of 576 samples a chunk
//                             (no decoder can play them).
//   NARRAVOX_FAKE_ENC_FAIL    entry:n:code[,entry:n:code...]: the n-th call
//                             (from 1, all streams together) of that entry
//                             point returns code, e.g. beEncodeChunk:3:2.
//
// Like the real library it also refuses what the program must never do:
// a record other than dwConfig 256 with dwStructSize >= 332 (1), null
// pointers or more samples than a chunk (2), a chunk or flush larger than
// the minimum output size (5), an unknown or closed stream (4).  Handles are
// 1, 2, 3... in the order the streams were opened.
//
// narravoxFakeEncReset() (exported, see fake_encoder_control.h) forgets all
// streams and call counts and reads the environment again, for tests that
// load the fake once and use it several times.
#include "fake_enc_log.h"
#include "fake_enc_settings.h"
#include "fake_encoder_control.h"
#include "narravox/bladeenc_api.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

namespace {

struct FakeFrame {
  std::string header;
  uint32_t length = 0;
};

struct FakeEncoder {
  std::mutex mutex;
  bool loaded = false;
  FakeEncSettings settings;
  FakeEncLog log;
  std::map<std::string, std::uint32_t> calls;
  std::map<HBE_STREAM, bool> streams;       // handle -> flushed
  std::map<HBE_STREAM, std::string> marks;  // handle -> its rates, for the flush
  std::map<HBE_STREAM, FakeFrame> frames;   // handle -> the frame of its chunks, with frames
  HBE_STREAM nextHandle = 1;

  void load() {
    settings = readFakeEncSettings();
    log.setPath(settings.logPath);
    calls.clear();
    streams.clear();
    nextHandle = 1;
    loaded = true;
    for (const std::string& problem : settings.problems) log.write("fake: " + problem);
  }

  // Counts the call; true with the code when this call is to fail.
  bool injected(const char* entry, BE_ERR& result) {
    if (!loaded) load();
    const std::uint32_t count = ++calls[entry];
    for (const FakeEncFailRule& rule : settings.failRules) {
      if (rule.entry == entry && rule.call == count) {
        result = rule.result;
        return true;
      }
    }
    return false;
  }

  bool isOpen(HBE_STREAM stream) const { return streams.count(stream) != 0; }
};

FakeEncoder& fake() {
  static FakeEncoder instance;
  return instance;
}

std::string number(long long value) { return std::to_string(value); }

std::string hex(const void* data, std::size_t size) {
  static const char digits[] = "0123456789abcdef";
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  std::string text;
  text.reserve(size * 2);
  for (std::size_t i = 0; i < size; ++i) {
    text += digits[bytes[i] >> 4];
    text += digits[bytes[i] & 15];
  }
  return text;
}

std::string describe(const BE_CONFIG& c) {
  std::string text;
  auto field = [&text](const char* name, long long value) {
    text += ' ';
    text += name;
    text += '=';
    text += number(value);
  };
  field("dwConfig", c.dwConfig);
  field("dwStructVersion", c.dwStructVersion);
  field("dwStructSize", c.dwStructSize);
  field("dwSampleRate", c.dwSampleRate);
  field("dwReSampleRate", c.dwReSampleRate);
  field("nMode", c.nMode);
  field("dwBitrate", c.dwBitrate);
  field("dwMaxBitrate", c.dwMaxBitrate);
  field("nPreset", c.nPreset);
  field("dwMpegVersion", c.dwMpegVersion);
  field("dwPsyModel", c.dwPsyModel);
  field("dwEmphasis", c.dwEmphasis);
  field("bPrivate", c.bPrivate);
  field("bCRC", c.bCRC);
  field("bCopyright", c.bCopyright);
  field("bOriginal", c.bOriginal);
  field("bWriteVBRHeader", c.bWriteVBRHeader);
  field("bEnableVBR", c.bEnableVBR);
  field("nVBRQuality", c.nVBRQuality);
  text += " config=" + hex(&c, sizeof c);
  return text;
}

// A 160 kbit/s mono Layer III frame at rate (MPEG-2 or 2.5): its header and
// length (576 samples x 160 kbit/s / 8 bits / the rate); no header for
// another rate.
FakeFrame frameAt(uint32_t rate) {
  static const uint32_t rates[2][3] = {{22050, 24000, 16000}, {11025, 12000, 8000}};
  for (int low = 0; low < 2; ++low)
    for (int index = 0; index < 3; ++index)
      if (rates[low][index] == rate)
        return {{'\xFF', static_cast<char>(low ? 0xE3 : 0xF3),
                 static_cast<char>(0xE0 | index << 2), '\xC0'},
                72 * 160000 / rate};
  return {};
}

std::string outcome(BE_ERR result, bool wasInjected) {
  return " -> " + number(result) + (wasInjected ? " injected" : "");
}

}  // namespace

extern "C" {

BE_EXPORT BE_ERR BE_CALL beInitStream(BE_CONFIG* config, uint32_t* samplesPerChunk,
                                      uint32_t* minOutputBytes, HBE_STREAM* stream) {
  FakeEncoder& f = fake();
  std::lock_guard<std::mutex> lock(f.mutex);
  BE_ERR result = BE_ERR_SUCCESSFUL;
  const bool wasInjected = f.injected("beInitStream", result);
  std::string line = "beInitStream";
  line += config != nullptr ? describe(*config) : std::string(" config=null");
  if (!wasInjected) {
    if (config == nullptr || samplesPerChunk == nullptr || minOutputBytes == nullptr ||
        stream == nullptr)
      result = BE_ERR_INVALID_FORMAT_PARAMETERS;
    else if (config->dwConfig != BE_CONFIG_LAME || config->dwStructSize < BE_CONFIG_SIZE)
      result = BE_ERR_INVALID_FORMAT;
  }
  line += outcome(result, wasInjected);
  if (result == BE_ERR_SUCCESSFUL) {
    const HBE_STREAM handle = f.nextHandle++;
    f.streams[handle] = false;
    f.marks[handle] =
        "[" + number(config->dwBitrate) + " kbit/s " + number(config->dwSampleRate) + " Hz]";
    if (f.settings.frames) {
      const uint32_t rate = config->dwReSampleRate != 0 ? config->dwReSampleRate : config->dwSampleRate;
      f.frames[handle] = frameAt(rate);
      if (f.frames[handle].header.empty()) f.log.write("fake: no frames at " + number(rate) + " Hz");
    }
    *samplesPerChunk = f.settings.samplesPerChunk;
    *minOutputBytes = f.settings.minOutputBytes;
    *stream = handle;
    line += " samplesPerChunk=" + number(*samplesPerChunk) +
            " minOutputBytes=" + number(*minOutputBytes) + " stream=" + number(handle);
  }
  f.log.write(line);
  return result;
}

BE_EXPORT BE_ERR BE_CALL beEncodeChunk(HBE_STREAM stream, uint32_t nSamples, const int16_t* samples,
                                       uint8_t* output, uint32_t* outputBytes) {
  FakeEncoder& f = fake();
  std::lock_guard<std::mutex> lock(f.mutex);
  BE_ERR result = BE_ERR_SUCCESSFUL;
  const bool wasInjected = f.injected("beEncodeChunk", result);
  if (!wasInjected) {
    if (!f.isOpen(stream))
      result = BE_ERR_INVALID_HANDLE;
    else if (outputBytes == nullptr || output == nullptr || (samples == nullptr && nSamples != 0) ||
             nSamples > f.settings.samplesPerChunk)
      result = BE_ERR_INVALID_FORMAT_PARAMETERS;
    else if (nSamples > f.settings.minOutputBytes)
      result = BE_ERR_BUFFER_TOO_SMALL;
  }
  std::string line = "beEncodeChunk stream=" + number(stream) + " nSamples=" + number(nSamples) +
                     outcome(result, wasInjected);
  if (result == BE_ERR_SUCCESSFUL) {
    const FakeFrame& frame = f.frames[stream];
    std::memcpy(output, frame.header.data(), frame.header.size());
    uint8_t* const bytes = output + frame.header.size();
    for (uint32_t i = 0; i < nSamples; ++i)
      bytes[i] = static_cast<uint8_t>(static_cast<uint16_t>(samples[i]) & 0xFF);
    uint32_t size = nSamples + static_cast<uint32_t>(frame.header.size());
    if (frame.length > size) {
      std::memset(output + size, 0, frame.length - size);
      size = frame.length;
    }
    *outputBytes = size;
    line += " outputBytes=" + number(size);
  }
  f.log.write(line);
  return result;
}

BE_EXPORT BE_ERR BE_CALL beDeinitStream(HBE_STREAM stream, uint8_t* output, uint32_t* outputBytes) {
  FakeEncoder& f = fake();
  std::lock_guard<std::mutex> lock(f.mutex);
  BE_ERR result = BE_ERR_SUCCESSFUL;
  const bool wasInjected = f.injected("beDeinitStream", result);
  const std::string flush = f.settings.flushBytes + (f.settings.mark ? f.marks[stream] : "");
  if (!wasInjected) {
    if (!f.isOpen(stream))
      result = BE_ERR_INVALID_HANDLE;
    else if (output == nullptr || outputBytes == nullptr)
      result = BE_ERR_INVALID_FORMAT_PARAMETERS;
    else if (flush.size() > f.settings.minOutputBytes)
      result = BE_ERR_BUFFER_TOO_SMALL;
  }
  std::string line = "beDeinitStream stream=" + number(stream) + outcome(result, wasInjected);
  if (result == BE_ERR_SUCCESSFUL) {
    if (!flush.empty()) std::memcpy(output, flush.data(), flush.size());
    *outputBytes = static_cast<uint32_t>(flush.size());
    f.streams[stream] = true;
    line += " outputBytes=" + number(static_cast<long long>(flush.size()));
  }
  f.log.write(line);
  return result;
}

BE_EXPORT BE_ERR BE_CALL beCloseStream(HBE_STREAM stream) {
  FakeEncoder& f = fake();
  std::lock_guard<std::mutex> lock(f.mutex);
  BE_ERR result = BE_ERR_SUCCESSFUL;
  const bool wasInjected = f.injected("beCloseStream", result);
  if (!wasInjected) {
    if (f.isOpen(stream))
      f.streams.erase(stream);
    else
      result = BE_ERR_INVALID_HANDLE;
  }
  f.log.write("beCloseStream stream=" + number(stream) + outcome(result, wasInjected));
  return result;
}

BE_EXPORT void BE_CALL narravoxFakeEncReset(void) {
  FakeEncoder& f = fake();
  std::lock_guard<std::mutex> lock(f.mutex);
  f.load();
}

}  // extern "C"
