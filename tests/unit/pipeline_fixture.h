// Drives the audio pipeline the way the conversion does, with the fake
// engine (every text byte becomes one sample of its value) and the fake
// encoder (every sample becomes its low byte), so that an MP3 file holds the
// very text spoken into it.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "audio/pipeline.h"
#include "audio/processing.h"

// Names the states in failure messages.
void PrintTo(TPipelineState state, std::ostream* out);

class PipelineTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the processing and activates the engine.
  void Activate();
  TEngineBinding& Engine() { return processing_->Engine(); }
  TPipeline& Pipeline() { return processing_->Pipeline(); }
  // The engine's callback as the engine calls it.
  int32_t Offer(int32_t message, int32_t samples) {
    return TPipeline::Callback(nullptr, message, samples, &Pipeline());
  }
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
  // Waits until done() holds; false after 10 seconds, so that a hang fails
  // the test instead of stopping the run.
  template <typename Condition>
  static bool WaitUntil(Condition done);
  // The same for the pipeline to reach state; a failure tells where it stayed.
  ::testing::AssertionResult WaitForState(TPipelineState state);

  std::string folder_;
  std::unique_ptr<TProcessing> processing_;
};

template <typename Condition>
bool PipelineTest::WaitUntil(Condition done) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::yield();
  }
  return true;
}

template <typename Operation>
std::string PipelineTest::ErrorOf(Operation operation) {
  try {
    operation();
  } catch (const std::exception& error) {
    return error.what();
  }
  return "";
}
