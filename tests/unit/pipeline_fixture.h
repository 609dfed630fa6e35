// Drives the audio pipeline the way the conversion does, with the fake
// engine (every text byte becomes one sample of its value) and the fake
// encoder (every sample becomes its low byte), so that an MP3 file holds the
// very text spoken into it.
#pragma once

#include <gtest/gtest.h>

#include <string>

class PipelineTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the processing and activates the engine.
  void Activate();
  // Speaks text into path as one MP3 file and checks the pipeline.
  void SpeakInto(const std::string& path, const std::string& text, const uint8_t* tag = nullptr);
  // The error message that an operation raises, or "".
  template <typename Operation>
  std::string ErrorOf(Operation operation);

  std::string File(const std::string& name) const { return folder_ + "/" + name; }
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;
  std::string EngineLog() const { return Read("engine.log"); }
  std::string EncoderLog() const { return Read("encoder.log"); }
  int Count(const std::string& text, const std::string& what) const;

  std::string folder_;
};

template <typename Operation>
std::string PipelineTest::ErrorOf(Operation operation) {
  try {
    operation();
  } catch (const std::exception& error) {
    return error.what();
  }
  return "";
}
