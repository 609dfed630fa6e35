// The fake encoder does what the pipeline tests will rely on: a byte per
// sample, failures on the chosen call, and a log of every call and record.
#include "encoder_library.h"
#include "fake_encoder_control.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

class FakeLameEnc : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"NARRAVOX_FAKE_ENC_CHUNK", "NARRAVOX_FAKE_ENC_MINOUT",
                             "NARRAVOX_FAKE_ENC_FLUSH", "NARRAVOX_FAKE_ENC_FAIL"})
      unsetenv(name);
    setenv("NARRAVOX_FAKE_ENC_LOG", logPath_.c_str(), 1);
  }

  // Applies the environment set by the test.
  void reset() {
    auto resetFake =
        reinterpret_cast<NARRAVOXFAKEENCRESET>(library_.symbol("narravoxFakeEncReset"));
    ASSERT_NE(resetFake, nullptr);
    resetFake();
  }

  HBE_STREAM open(std::uint32_t* chunk = nullptr, std::uint32_t* minOutput = nullptr) {
    BE_CONFIG config = programConfig(11025, 11025, 48);
    std::uint32_t c = 0, m = 0;
    HBE_STREAM stream = 0;
    EXPECT_EQ(library_.init(&config, &c, &m, &stream), BE_ERR_SUCCESSFUL);
    if (chunk) *chunk = c;
    if (minOutput) *minOutput = m;
    return stream;
  }

  std::vector<std::string> logLines() const {
    std::ifstream in(logPath_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  EncoderLibrary library_{FAKE_LAME_ENC_LIBRARY};
  TempFolder folder_;
  const std::string logPath_ = folder_.File("encoder.log");
};

TEST_F(FakeLameEnc, WritesTheLowByteOfEverySampleAndTheChosenFlush) {
  setenv("NARRAVOX_FAKE_ENC_CHUNK", "4", 1);
  setenv("NARRAVOX_FAKE_ENC_MINOUT", "6", 1);
  reset();
  std::uint32_t chunk = 0, minOutput = 0;
  const HBE_STREAM stream = open(&chunk, &minOutput);
  EXPECT_EQ(chunk, 4u);
  EXPECT_EQ(minOutput, 6u);

  const std::int16_t samples[5] = {'H', 0x100 + 'i', -1, 0x7F00, 'x'};
  std::uint8_t out[8] = {};
  std::uint32_t bytes = 0;
  ASSERT_EQ(library_.encode(stream, 4, samples, out, &bytes), BE_ERR_SUCCESSFUL);
  ASSERT_EQ(bytes, 4u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 4), std::string("Hi\xFF\0", 4));
  // More than a chunk breaks the encoder's contract.
  EXPECT_EQ(library_.encode(stream, 5, samples, out, &bytes), BE_ERR_INVALID_FORMAT_PARAMETERS);
  // The flush writes nothing unless asked to.
  ASSERT_EQ(library_.deinit(stream, out, &bytes), BE_ERR_SUCCESSFUL);
  EXPECT_EQ(bytes, 0u);
  EXPECT_EQ(library_.close(stream), BE_ERR_SUCCESSFUL);
  EXPECT_EQ(library_.close(stream), BE_ERR_INVALID_HANDLE);

  setenv("NARRAVOX_FAKE_ENC_FLUSH", "<END>", 1);
  reset();
  const HBE_STREAM next = open();
  ASSERT_EQ(library_.deinit(next, out, &bytes), BE_ERR_SUCCESSFUL);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), bytes), "<END>");
  library_.close(next);
}

TEST_F(FakeLameEnc, FailsTheChosenCallOfEachEntryPointWithTheChosenCode) {
  setenv("NARRAVOX_FAKE_ENC_FAIL", "beEncodeChunk:3:2,beInitStream:2:5", 1);
  reset();
  const HBE_STREAM stream = open();
  const std::int16_t samples[2] = {1, 2};
  std::uint8_t out[8];
  std::uint32_t bytes = 0;
  EXPECT_EQ(library_.encode(stream, 2, samples, out, &bytes), BE_ERR_SUCCESSFUL);
  EXPECT_EQ(library_.encode(stream, 2, samples, out, &bytes), BE_ERR_SUCCESSFUL);
  EXPECT_EQ(library_.encode(stream, 2, samples, out, &bytes), 2u);
  EXPECT_EQ(library_.encode(stream, 2, samples, out, &bytes), BE_ERR_SUCCESSFUL);

  BE_CONFIG config = programConfig(11025, 11025, 48);
  std::uint32_t chunk = 0, minOutput = 0;
  HBE_STREAM second = 0;
  EXPECT_EQ(library_.init(&config, &chunk, &minOutput, &second), 5u);
  EXPECT_EQ(second, 0u);

  const std::vector<std::string> lines = logLines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[3], "beEncodeChunk stream=1 nSamples=2 -> 2 injected");
  EXPECT_EQ(lines[4], "beEncodeChunk stream=1 nSamples=2 -> 0 outputBytes=2");
  EXPECT_EQ(lines[5].rfind("beInitStream dwConfig=256 ", 0), 0u) << lines[5];
  EXPECT_NE(lines[5].find(" -> 5 injected"), std::string::npos) << lines[5];
}

TEST_F(FakeLameEnc, LogsTheRecordItReceivedAndEveryCall) {
  setenv("NARRAVOX_FAKE_ENC_FAIL", "beEncodeChunk:x:2", 1);
  reset();
  BE_CONFIG config = programConfig(11025, 22050, 48);
  config.reserved[255] = 0xAB;  // the last of the 332 bytes
  std::uint32_t chunk = 0, minOutput = 0;
  HBE_STREAM stream = 0;
  ASSERT_EQ(library_.init(&config, &chunk, &minOutput, &stream), BE_ERR_SUCCESSFUL);
  std::uint8_t out[8];
  std::uint32_t bytes = 0;
  library_.deinit(stream, out, &bytes);
  library_.close(stream);
  BE_CONFIG bad = programConfig(11025, 11025, 48);
  bad.dwStructSize = 300;
  EXPECT_EQ(library_.init(&bad, &chunk, &minOutput, &stream), BE_ERR_INVALID_FORMAT);

  const std::vector<std::string> lines = logLines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "fake: ignored part of NARRAVOX_FAKE_ENC_FAIL=beEncodeChunk:x:2");
  // 332 bytes as hex, little-endian: dwConfig 256, version 1, size 332, 11025
  // (0x2b11), 22050 (0x5622), mode 3, 48 kbit/s ... bOriginal -1 ... 0xab.
  const std::string hexStart =
      "00010000"
      "01000000"
      "4c010000"
      "112b0000"
      "22560000"
      "03000000"
      "30000000";
  const std::size_t at = lines[1].find(" config=");
  ASSERT_NE(at, std::string::npos);
  const std::string hex = lines[1].substr(at + 8, 664);
  EXPECT_EQ(hex.substr(0, hexStart.size()), hexStart);
  EXPECT_EQ(hex.substr(120, 8), "ffffffff");  // bOriginal at offset 60
  EXPECT_EQ(hex.substr(662), "ab");
  EXPECT_NE(lines[1].find(" dwReSampleRate=22050 "), std::string::npos);
  EXPECT_NE(lines[1].find(" bOriginal=-1 "), std::string::npos);
  EXPECT_NE(lines[1].find(" -> 0 samplesPerChunk=576 minOutputBytes=7200 stream=1"),
            std::string::npos);
  EXPECT_EQ(lines[2], "beDeinitStream stream=1 -> 0 outputBytes=0");
  EXPECT_EQ(lines[3], "beCloseStream stream=1 -> 0");
  EXPECT_NE(lines[4].find(" dwStructSize=300 "), std::string::npos);
  EXPECT_NE(lines[4].find(" -> 1"), std::string::npos);
}

}  // namespace
