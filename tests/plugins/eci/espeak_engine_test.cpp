// Tests of libeci.so, the engine library on espeak-ng, loaded as the
// program loads it. Texts are short to keep the suite fast.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>

#include "eci_library.h"

namespace {

const char kItalian[] = "Perch\xE8 la citt\xE0 \xE8 cos\xEC bella? Nicol\xF2 lo sa.";

class EspeakEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lib.Complete()) << ECI_LIBRARY_PATH;
    engine = lib.New();
    ASSERT_NE(engine, nullptr);
    ASSERT_GE(lib.SetParam(engine, ECI_PARAM_DIALECT, ECI_DIALECT_ITALIAN), 0);
    ASSERT_GE(lib.SetParam(engine, ECI_PARAM_SAMPLE_RATE, ECI_RATE_11025), 0);
  }
  void TearDown() override {
    if (engine) lib.Delete(engine);
  }

  // Speaks plain text into a recorder with the given buffer size.
  std::vector<int16_t> Speak(const char* text, size_t buffer_samples = 4096) {
    AudioRecorder rec(buffer_samples);
    rec.Attach(lib, engine);
    EXPECT_TRUE(lib.AddText(engine, text));
    EXPECT_TRUE(lib.Synthesize(engine));
    EXPECT_TRUE(lib.Synchronize(engine)) << lib.Message(engine);
    return rec.audio;
  }

  const EciLibrary& lib = EciLibrary::Get(ECI_LIBRARY_PATH);
  ECIHand engine = nullptr;
};

double Rms(const std::vector<int16_t>& s, size_t from = 0, size_t to = SIZE_MAX) {
  to = std::min(to, s.size());
  if (from >= to) return 0;
  double sum = 0;
  for (size_t i = from; i < to; ++i) sum += double(s[i]) * s[i];
  return std::sqrt(sum / double(to - from));
}

size_t LeadingZeros(const std::vector<int16_t>& s) {
  size_t n = 0;
  while (n < s.size() && s[n] == 0) ++n;
  return n;
}

TEST_F(EspeakEngine, ItalianWithAccentsIsSpokenAtBothRatesInFullBuffers) {
  std::vector<int16_t> at11025 = Speak(kItalian, 4000);
  ASSERT_GE(lib.SetParam(engine, ECI_PARAM_SAMPLE_RATE, ECI_RATE_8000), 0);
  AudioRecorder rec(3000);
  rec.Attach(lib, engine);
  ASSERT_TRUE(lib.AddText(engine, kItalian));
  ASSERT_TRUE(lib.Synthesize(engine));
  ASSERT_TRUE(lib.Synchronize(engine));
  const std::vector<int16_t>& at8000 = rec.audio;

  // About three seconds of audible speech.
  const double seconds = at11025.size() / 11025.0;
  EXPECT_GT(seconds, 1.5);
  EXPECT_LT(seconds, 6.0);
  EXPECT_GT(Rms(at11025), 500.0);
  EXPECT_GT(Rms(at8000), 500.0);
  // The same speech, resampled: lengths in proportion to the rates.
  EXPECT_NEAR(at8000.size() / 8000.0, seconds, 0.05);

  // Every buffer but the last is offered full.
  ASSERT_GE(rec.offers.size(), 2u);
  for (size_t i = 0; i + 1 < rec.offers.size(); ++i) EXPECT_EQ(rec.offers[i], 3000);
  EXPECT_LE(rec.offers.back(), 3000);
}

TEST_F(EspeakEngine, WindowsOnlyCharactersAreSpoken) {
  // 0x80 is the euro sign in Windows-1252 and nothing in ISO-8859-1.
  const size_t without = Speak("costa 5").size();
  const size_t with = Speak("costa 5 \x80").size();
  EXPECT_GT(with, without + 11025 / 5);
}

TEST_F(EspeakEngine, UnprocessedBufferIsOfferedAgainUnchanged) {
  std::vector<int16_t> first_offer;
  AudioRecorder rec(2048);
  rec.answer = [&](int offer, int32_t samples) -> int32_t {
    if (offer == 1) first_offer.assign(rec.buffer.begin(), rec.buffer.begin() + samples);
    if (offer <= 4) {
      EXPECT_TRUE(std::equal(first_offer.begin(), first_offer.end(), rec.buffer.begin()));
      return ECI_DATA_NOT_PROCESSED;
    }
    return ECI_DATA_PROCESSED;
  };
  rec.Attach(lib, engine);
  ASSERT_TRUE(lib.AddText(engine, "Buongiorno a tutti."));
  ASSERT_TRUE(lib.Synthesize(engine));
  ASSERT_TRUE(lib.Synchronize(engine));
  ASSERT_GE(rec.offers.size(), 6u);
  for (int i = 1; i < 5; ++i) EXPECT_EQ(rec.offers[i], rec.offers[0]);
  ASSERT_GE(rec.audio.size(), first_offer.size());
  EXPECT_TRUE(std::equal(first_offer.begin(), first_offer.end(), rec.audio.begin()));

  // Nothing was lost to the repeats.
  EXPECT_TRUE(rec.audio == Speak("Buongiorno a tutti.", 2048));
}

TEST_F(EspeakEngine, AbortStopsTheSynthesisAndTheEngineStaysUsable) {
  std::string longer;
  for (int i = 0; i < 20; ++i) longer += kItalian;
  AudioRecorder rec(1024);
  rec.answer = [](int, int32_t) { return int32_t(ECI_DATA_ABORT); };
  rec.Attach(lib, engine);
  ASSERT_TRUE(lib.AddText(engine, longer.c_str()));
  ASSERT_TRUE(lib.Synthesize(engine));
  EXPECT_TRUE(lib.Synchronize(engine));
  EXPECT_EQ(rec.offers.size(), 1u);

  EXPECT_GT(Speak("Ancora una volta.").size(), 11025u / 2);
}

TEST_F(EspeakEngine, PauseAnnotationAddsSilenceOnlyWhenAnnotationsAreOn) {
  const size_t plain = Speak("ciao").size();

  ASSERT_EQ(lib.SetParam(engine, ECI_PARAM_ANNOTATED_INPUT, 1), 0);
  const std::vector<int16_t> paused = Speak("`p1000 ciao");
  // 1000 half milliseconds: 5512.5 samples at 11025 Hz.
  EXPECT_NEAR(double(paused.size()), double(plain) + 5512.5, 60.0);
  EXPECT_GE(LeadingZeros(paused), 5400u);
  // Other annotations are dropped.
  EXPECT_NEAR(double(Speak("`vs50ciao`l1").size()), double(plain), 60.0);

  ASSERT_EQ(lib.SetParam(engine, ECI_PARAM_ANNOTATED_INPUT, 0), 1);
  const std::vector<int16_t> spoken = Speak("`p1000 ciao");
  EXPECT_GT(spoken.size(), plain + 11025 / 4);  // "p mille" is said
  EXPECT_LT(LeadingZeros(spoken), 4000u);
}

TEST_F(EspeakEngine, EveryDialectSelectsItsOwnVoice) {
  const int32_t dialects[] = {ECI_DIALECT_ITALIAN,   ECI_DIALECT_BRITISH_ENGLISH,
                              ECI_DIALECT_FRENCH,    ECI_DIALECT_SPANISH,
                              ECI_DIALECT_GERMAN,    ECI_DIALECT_BRAZILIAN_PORTUGUESE,
                              ECI_DIALECT_US_ENGLISH};
  std::set<std::vector<int16_t>> distinct;
  int32_t previous = ECI_DIALECT_ITALIAN;
  for (int32_t dialect : dialects) {
    EXPECT_EQ(lib.SetParam(engine, ECI_PARAM_DIALECT, dialect), previous);
    previous = dialect;
    std::vector<int16_t> audio = Speak("radio");
    EXPECT_GT(Rms(audio), 300.0) << std::hex << dialect;
    distinct.insert(audio);
  }
  EXPECT_EQ(distinct.size(), 7u);
}

TEST_F(EspeakEngine, RejectedValuesReportWhy) {
  EXPECT_EQ(lib.SetParam(engine, ECI_PARAM_DIALECT, 0x99999), -1);
  EXPECT_NE(lib.ProgStatus(engine), 0);
  char text[512];
  std::memset(text, 'x', sizeof text);
  lib.ErrorMessage(engine, text);
  EXPECT_NE(std::strstr(text, "dialect"), nullptr) << text;
  EXPECT_LT(std::strlen(text), 256u);
  EXPECT_EQ(text[300], 'x');  // nothing written past the 256 bytes
  // The rejected value did not replace the dialect.
  EXPECT_EQ(lib.SetParam(engine, ECI_PARAM_DIALECT, ECI_DIALECT_ITALIAN), ECI_DIALECT_ITALIAN);

  EXPECT_EQ(lib.SetParam(engine, ECI_PARAM_SAMPLE_RATE, 3), -1);
  EXPECT_EQ(lib.SetVoiceParam(engine, 0, ECI_VOICE_PITCH, 1000), -1);
  EXPECT_FALSE(lib.Message(engine).empty());
}

TEST_F(EspeakEngine, ParametersAndVoicesReturnPreviousValuesAndTakeEffect) {
  EXPECT_EQ(lib.SetParam(engine, ECI_PARAM_OPTION_3, 1), 0);
  EXPECT_EQ(lib.SetParam(engine, ECI_PARAM_OPTION_3, 0), 1);
  EXPECT_EQ(lib.SetParam(engine, ECI_PARAM_OPTION_10, 0), 0);
  EXPECT_GE(lib.SetParam(engine, ECI_PARAM_REAL_WORLD_UNITS, 1), 0);

  const int32_t default_speed = lib.SetVoiceParam(engine, 0, ECI_VOICE_SPEED, 100);
  EXPECT_GT(default_speed, 0);
  const size_t slow = Speak("una frase di prova").size();
  EXPECT_EQ(lib.SetVoiceParam(engine, 0, ECI_VOICE_SPEED, 400), 100);
  const size_t fast = Speak("una frase di prova").size();
  EXPECT_LT(fast * 2, slow);

  EXPECT_EQ(lib.SetVoiceParam(engine, 0, ECI_VOICE_VOLUME, 20000), 65535);
  const double quiet = Rms(Speak("una frase di prova"));
  lib.SetVoiceParam(engine, 0, ECI_VOICE_VOLUME, 65535);
  EXPECT_GT(Rms(Speak("una frase di prova")), quiet * 2);

  // Eight presets, eight different voices; copying sets voice 0's values.
  std::set<std::vector<int16_t>> distinct;
  for (int32_t preset = 1; preset <= 8; ++preset) {
    EXPECT_TRUE(lib.CopyVoice(engine, preset, 0));
    distinct.insert(Speak("radio"));
  }
  EXPECT_EQ(distinct.size(), 8u);
  EXPECT_TRUE(lib.CopyVoice(engine, 2, 0));
  EXPECT_GT(lib.SetVoiceParam(engine, 0, ECI_VOICE_PITCH, 150), 150);  // a female preset
}

// Whether this system has an audio output that the library can speak on: a
// sound server's socket or an ALSA playback device.
bool HasAudioOutput() {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (std::getenv("PULSE_SERVER")) return true;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR")) {
    if (fs::exists(fs::path(runtime) / "pulse" / "native", ec) ||
        fs::exists(fs::path(runtime) / "pipewire-0", ec))
      return true;
  }
  for (fs::directory_iterator it("/dev/snd", ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind("pcmC", 0) == 0 && name.back() == 'p') return true;
  }
  return false;
}

TEST_F(EspeakEngine, WithoutOutputBufferItSpeaksAloudOnlyWhereThereIsAnAudioOutput) {
  ASSERT_TRUE(lib.SetOutputBuffer(engine, 0, nullptr));
  ASSERT_TRUE(lib.AddText(engine, "ciao"));
  ASSERT_TRUE(lib.Synthesize(engine));
  if (HasAudioOutput()) {
    EXPECT_TRUE(lib.Synchronize(engine)) << lib.Message(engine);
  } else {
    EXPECT_FALSE(lib.Synchronize(engine));
    EXPECT_NE(lib.ProgStatus(engine), 0);
    EXPECT_NE(lib.Message(engine).find("no audio output"), std::string::npos)
        << lib.Message(engine);
  }
}

}  // namespace
