// liblame_enc.so as the program uses it: the record the program fills, MP3
// frames that a real decoder plays at the right length, the refusals, and
// streams used from two threads.
#include "encoder_library.h"
#include "mp3_frames.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

namespace {

constexpr std::uint32_t kRate = 11025;
constexpr std::size_t kTenSeconds = 10 * kRate;
constexpr int kFrameSamples = 576;  // MPEG 2 and 2.5 layer III
constexpr int kDecoderDelay = 529;  // of every layer III decoder

class LameEnc : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    library_ = new EncoderLibrary(LAME_ENC_LIBRARY);
    input_ = new std::vector<std::int16_t>(tone(kTenSeconds, 440, kRate));
    mp3_ = new std::vector<std::uint8_t>(
        encodeAll(*library_, programConfig(kRate, kRate, 48), *input_));
  }
  static void TearDownTestSuite() {
    delete mp3_;
    delete input_;
    delete library_;
  }

  const EncoderLibrary& lib() const { return *library_; }

  static EncoderLibrary* library_;
  static std::vector<std::int16_t>* input_;
  static std::vector<std::uint8_t>* mp3_;  // ten seconds of tone, as the program encodes it
};

EncoderLibrary* LameEnc::library_ = nullptr;
std::vector<std::int16_t>* LameEnc::input_ = nullptr;
std::vector<std::uint8_t>* LameEnc::mp3_ = nullptr;

double rms(const std::int16_t* samples, std::size_t count) {
  double sum = 0;
  for (std::size_t i = 0; i < count; ++i) sum += double(samples[i]) * samples[i];
  return std::sqrt(sum / count);
}

TEST_F(LameEnc, ProgramRecordGivesFrameSizedChunksAndRoomForTheFlush) {
  BE_CONFIG config = programConfig(kRate, kRate, 48);
  std::uint32_t chunk = 0, minOutput = 0;
  HBE_STREAM stream = 0;
  ASSERT_EQ(lib().init(&config, &chunk, &minOutput, &stream), BE_ERR_SUCCESSFUL);
  EXPECT_EQ(chunk, 576u);
  EXPECT_GE(minOutput, 7200u);
  EXPECT_NE(stream, 0u);
  EXPECT_EQ(lib().close(stream), BE_ERR_SUCCESSFUL);
}

TEST_F(LameEnc, TenSecondsBecomeBareMpeg25Layer3FramesAt48kMono) {
  std::vector<Mp3Frame> frames;
  ASSERT_TRUE(splitFrames(*mp3_, frames)) << "stray bytes after " << frames.size() << " frames";
  ASSERT_FALSE(frames.empty());
  for (const Mp3Frame& frame : frames) {
    SCOPED_TRACE("frame at " + std::to_string(frame.offset));
    ASSERT_EQ(frame.version, 25);
    ASSERT_EQ(frame.layer, 3);
    ASSERT_EQ(frame.kbps, 48);
    ASSERT_EQ(frame.rate, 11025);
    ASSERT_TRUE(frame.mono);
    // Of the header flags only "original" is asked for.
    ASSERT_TRUE(frame.original);
    ASSERT_FALSE(frame.crc || frame.copyright || frame.privateBit || frame.emphasis != 0);
  }
  // Frames from the first byte to the last leave no room for an ID3 tag;
  // an Info/Xing frame would be a silent first frame naming itself.
  const std::string first(mp3_->begin(), mp3_->begin() + frames[0].length);
  EXPECT_EQ(first.find("Xing"), std::string::npos);
  EXPECT_EQ(first.find("Info"), std::string::npos);
  EXPECT_EQ(first.find("LAME"), std::string::npos);
}

TEST_F(LameEnc, TenSecondsDecodeToTenSecondsOfTheTone) {
  const DecodedAudio audio = decodeMp3(*mp3_);
  ASSERT_TRUE(audio.ok);
  EXPECT_EQ(audio.rate, 11025);
  EXPECT_EQ(audio.channels, 1);
  // The encoder puts one frame of delay in front and pads the end past the
  // decoder's delay to a whole frame; with those accounted for, the length
  // is the input's to within one frame.
  const long extra = long(audio.samples.size()) - long(kTenSeconds) - kFrameSamples;
  EXPECT_GE(extra, 0) << audio.samples.size() << " samples decoded";
  EXPECT_LE(extra, kDecoderDelay + kFrameSamples) << audio.samples.size() << " samples decoded";
  // The tone itself came through (not silence, not noise).
  const std::size_t from = 2 * kRate;
  ASSERT_GT(audio.samples.size(), from + kRate);
  const double in = rms(input_->data() + from, kRate);
  const double out = rms(audio.samples.data() + from + kFrameSamples, kRate);
  EXPECT_NEAR(out / in, 1.0, 0.1);
}

TEST_F(LameEnc, ResamplingTo22050GivesMpeg2FramesThatKeepTheLength) {
  const std::size_t twoSeconds = 2 * kRate;
  const std::vector<std::uint8_t> mp3 =
      encodeAll(lib(), programConfig(kRate, 22050, 48), tone(twoSeconds, 440, kRate));
  std::vector<Mp3Frame> frames;
  ASSERT_TRUE(splitFrames(mp3, frames));
  ASSERT_FALSE(frames.empty());
  for (const Mp3Frame& frame : frames) {
    ASSERT_EQ(frame.version, 20);
    ASSERT_EQ(frame.rate, 22050);
    ASSERT_EQ(frame.kbps, 48);
  }
  const DecodedAudio audio = decodeMp3(mp3);
  ASSERT_TRUE(audio.ok);
  EXPECT_EQ(audio.rate, 22050);
  const long extra = long(audio.samples.size()) - 2 * long(twoSeconds) - kFrameSamples;
  EXPECT_GE(extra, 0);
  EXPECT_LE(extra, kDecoderDelay + kFrameSamples);
}

TEST_F(LameEnc, RefusesBadRecordsAndRatesWithTheMatchingCode) {
  struct Case {
    const char* what;
    void (*change)(BE_CONFIG&);
    BE_ERR expected;
  };
  const Case cases[] = {
      {"other record kind", [](BE_CONFIG& c) { c.dwConfig = 0; }, BE_ERR_INVALID_FORMAT},
      {"record too short", [](BE_CONFIG& c) { c.dwStructSize = 331; }, BE_ERR_INVALID_FORMAT},
      {"no MPEG 2.5 rate of 320 kbit/s", [](BE_CONFIG& c) { c.dwBitrate = 320; },
       BE_ERR_INVALID_FORMAT_PARAMETERS},
      {"no MPEG bit rate of 47 kbit/s", [](BE_CONFIG& c) { c.dwBitrate = 47; },
       BE_ERR_INVALID_FORMAT_PARAMETERS},
      {"no MPEG rate of 12345 Hz", [](BE_CONFIG& c) { c.dwReSampleRate = 12345; },
       BE_ERR_INVALID_FORMAT_PARAMETERS},
      {"stereo", [](BE_CONFIG& c) { c.nMode = 0; }, BE_ERR_INVALID_FORMAT_PARAMETERS},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BE_CONFIG config = programConfig(kRate, kRate, 48);
    c.change(config);
    std::uint32_t chunk = 0, minOutput = 0;
    HBE_STREAM stream = 0;
    EXPECT_EQ(lib().init(&config, &chunk, &minOutput, &stream), c.expected);
    EXPECT_EQ(stream, 0u);
  }
  // A larger record (a newer version) is fine; 0 as output rate means "as input".
  BE_CONFIG config = programConfig(kRate, 0, 48);
  config.dwStructSize = 400;
  std::uint32_t chunk = 0, minOutput = 0;
  HBE_STREAM stream = 0;
  ASSERT_EQ(lib().init(&config, &chunk, &minOutput, &stream), BE_ERR_SUCCESSFUL);
  EXPECT_EQ(lib().close(stream), BE_ERR_SUCCESSFUL);
}

TEST_F(LameEnc, ClosedAndUnknownHandlesAreInvalid) {
  BE_CONFIG config = programConfig(kRate, kRate, 48);
  std::uint32_t chunk = 0, minOutput = 0;
  HBE_STREAM first = 0, second = 0;
  ASSERT_EQ(lib().init(&config, &chunk, &minOutput, &first), BE_ERR_SUCCESSFUL);
  ASSERT_EQ(lib().close(first), BE_ERR_SUCCESSFUL);
  // A new stream does not bring the old handle back to life.
  ASSERT_EQ(lib().init(&config, &chunk, &minOutput, &second), BE_ERR_SUCCESSFUL);
  EXPECT_NE(second, first);

  std::vector<std::uint8_t> out(minOutput);
  const std::vector<std::int16_t> samples(chunk, 0);
  std::uint32_t bytes = 0;
  for (HBE_STREAM stale : {first, HBE_STREAM(0), HBE_STREAM(0xDEADBEEF)}) {
    SCOPED_TRACE(stale);
    EXPECT_EQ(lib().encode(stale, chunk, samples.data(), out.data(), &bytes),
              BE_ERR_INVALID_HANDLE);
    EXPECT_EQ(lib().deinit(stale, out.data(), &bytes), BE_ERR_INVALID_HANDLE);
    EXPECT_EQ(lib().close(stale), BE_ERR_INVALID_HANDLE);
  }
  // A finished stream takes no more audio; closing it still works once.
  ASSERT_EQ(lib().deinit(second, out.data(), &bytes), BE_ERR_SUCCESSFUL);
  EXPECT_EQ(lib().encode(second, chunk, samples.data(), out.data(), &bytes), BE_ERR_INVALID_HANDLE);
  EXPECT_EQ(lib().close(second), BE_ERR_SUCCESSFUL);
  EXPECT_EQ(lib().close(second), BE_ERR_INVALID_HANDLE);
}

TEST_F(LameEnc, OneStreamEncodesUndisturbedWhileAnotherThreadOpensAndCloses) {
  const BE_CONFIG config = programConfig(kRate, kRate, 48);
  std::atomic<bool> done{false};
  std::atomic<int> failures{0};
  std::thread churn([&] {
    while (!done) {
      BE_CONFIG record = config;
      std::uint32_t chunk = 0, minOutput = 0;
      HBE_STREAM stream = 0;
      if (lib().init(&record, &chunk, &minOutput, &stream) != BE_ERR_SUCCESSFUL ||
          lib().close(stream) != BE_ERR_SUCCESSFUL)
        ++failures;
    }
  });
  const std::vector<std::uint8_t> mp3 = encodeAll(lib(), config, *input_);
  done = true;
  churn.join();
  EXPECT_EQ(failures.load(), 0);
  // The encoder is deterministic: any interference would show in the bytes.
  EXPECT_TRUE(mp3 == *mp3_);
}

}  // namespace
