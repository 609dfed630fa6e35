// Tests of the fake engine library that the pipeline tests build on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "eci_library.h"

namespace {

class FakeEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lib.Complete()) << FAKE_ECI_LIBRARY_PATH;
    unsetenv("NARRAVOX_FAKE_ECI_LOG");
    unsetenv("NARRAVOX_FAKE_ECI_FAIL");
    unsetenv("NARRAVOX_FAKE_ECI_FILL");
  }
  void TearDown() override {
    if (engine) lib.Delete(engine);
    unsetenv("NARRAVOX_FAKE_ECI_LOG");
    unsetenv("NARRAVOX_FAKE_ECI_FAIL");
    unsetenv("NARRAVOX_FAKE_ECI_FILL");
  }

  const EciLibrary& lib = EciLibrary::Get(FAKE_ECI_LIBRARY_PATH);
  ECIHand engine = nullptr;
};

TEST_F(FakeEngine, EveryByteBecomesASampleAndPausesBecomeZeros) {
  setenv("NARRAVOX_FAKE_ECI_FILL", "3", 1);
  engine = lib.New();
  ASSERT_NE(engine, nullptr);
  AudioRecorder rec(100);
  rec.Attach(lib, engine);
  lib.SetParam(engine, ECI_PARAM_SAMPLE_RATE, ECI_RATE_8000);
  ASSERT_TRUE(lib.AddText(engine, "A\xE9`p4"));
  lib.SetParam(engine, ECI_PARAM_ANNOTATED_INPUT, 1);
  ASSERT_TRUE(lib.AddText(engine, "a`p2b`vs5c`"));
  lib.SetParam(engine, ECI_PARAM_ANNOTATED_INPUT, 0);
  ASSERT_TRUE(lib.Synthesize(engine));
  ASSERT_TRUE(lib.Synchronize(engine));

  std::vector<int16_t> expected = {65, 233, 96, 112, 52, 97};
  expected.insert(expected.end(), 8, 0);  // 1 ms at 8000 Hz
  expected.insert(expected.end(), {98, 99});
  EXPECT_EQ(rec.audio, expected);
  EXPECT_EQ(rec.offers, (std::vector<int32_t>{3, 3, 3, 3, 3, 1}));
}

TEST_F(FakeEngine, InjectedFailuresReturnFailureAndExplain) {
  setenv("NARRAVOX_FAKE_ECI_FAIL", "eciAddText:2:7,eciSetParam:1", 1);
  engine = lib.New();
  ASSERT_NE(engine, nullptr);
  EXPECT_EQ(lib.SetParam(engine, ECI_PARAM_DIALECT, ECI_DIALECT_ITALIAN), -1);
  EXPECT_EQ(lib.ProgStatus(engine), 2);
  EXPECT_EQ(lib.SetParam(engine, ECI_PARAM_DIALECT, ECI_DIALECT_ITALIAN), ECI_DIALECT_US_ENGLISH);
  EXPECT_TRUE(lib.AddText(engine, "one"));
  EXPECT_FALSE(lib.AddText(engine, "two"));
  EXPECT_EQ(lib.ProgStatus(engine), 7);
  EXPECT_EQ(lib.Message(engine), "injected failure of eciAddText (call 2)");
  EXPECT_TRUE(lib.AddText(engine, "three"));

  // A new instance counts again from its own start.
  lib.Delete(engine);
  setenv("NARRAVOX_FAKE_ECI_FAIL", "eciNew:1000000,eciSynchronize:1", 1);
  engine = lib.New();
  ASSERT_NE(engine, nullptr);
  AudioRecorder rec(10);
  rec.Attach(lib, engine);
  lib.AddText(engine, "lost");
  EXPECT_TRUE(lib.Synthesize(engine));
  EXPECT_FALSE(lib.Synchronize(engine));
  EXPECT_TRUE(rec.offers.empty());
}

TEST_F(FakeEngine, AnswersToAnOfferRepeatRefillOrStop) {
  engine = lib.New();
  ASSERT_NE(engine, nullptr);
  AudioRecorder rec(4);
  std::vector<std::vector<int16_t>> firstOffers;
  rec.answer = [&](int offer, int32_t samples) {
    if (offer <= 3) firstOffers.emplace_back(rec.buffer.begin(), rec.buffer.begin() + samples);
    return int32_t(offer <= 2 ? ECI_DATA_NOT_PROCESSED : ECI_DATA_PROCESSED);
  };
  rec.Attach(lib, engine);
  const std::string text = "abcdefghij";
  ASSERT_TRUE(lib.AddText(engine, text.c_str()));
  ASSERT_TRUE(lib.Synthesize(engine));
  ASSERT_TRUE(lib.Synchronize(engine));
  // The first buffer comes back unchanged until it is taken; nothing is lost.
  const std::vector<int16_t> first = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(firstOffers, (std::vector<std::vector<int16_t>>{first, first, first}));
  EXPECT_EQ(rec.offers, (std::vector<int32_t>{4, 4, 4, 4, 2}));
  EXPECT_EQ(rec.audio, std::vector<int16_t>(text.begin(), text.end()));

  // Stopping ends the synthesis, which still counts as done.
  rec.offers.clear();
  rec.answer = [](int, int32_t) { return int32_t(ECI_DATA_ABORT); };
  ASSERT_TRUE(lib.AddText(engine, text.c_str()));
  ASSERT_TRUE(lib.Synthesize(engine));
  EXPECT_TRUE(lib.Synchronize(engine));
  EXPECT_EQ(rec.offers, std::vector<int32_t>{4});
}

}  // namespace
