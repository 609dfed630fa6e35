// libeci.so gives the same samples for the same text and settings whatever
// it spoke before in the process, so that a resumed conversion writes the
// same bytes as an uninterrupted one; and its synthesis process goes away
// with the program. ctest runs every test in a process of its own, so the
// first synthesis of a test is the first of its process.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "eci_library.h"
#include "test_files.h"

namespace {

// What to say and how: a new engine instance for each.
struct Take {
  const char* text;
  int32_t dialect = ECI_DIALECT_ITALIAN;
  int32_t preset = 0;  // 0: the default voice
  int32_t speed = 0;   // words per minute; 0: the voice's own
  bool annotated = false;
};

const Take kTarget{"Perch\xE8 la citt\xE0 \xE8 cos\xEC bella? Nicol\xF2 lo sa."};
// A voice with breath noise and echo, fast enough for espeak-ng to speed up
// its output, and a pause between two syntheses.
const Take kFastTarget{"Il treno parte alle sei.`p400 Arriver\xE0 a Bologna in orario.",
                       ECI_DIALECT_ITALIAN, 2, 600, true};
const Take kOthers[] = {
    {"Il paese si svegliava lentamente, come ogni mattina di fine settembre."},
    {"Guten Morgen, wie geht es dir heute?", ECI_DIALECT_GERMAN, 3, 0},
    {"Una voce anziana, che parla piano.", ECI_DIALECT_ITALIAN, 6, 90},
    {"Una voce femminile, molto veloce, con un po' d'eco.", ECI_DIALECT_ITALIAN, 8, 700},
};

::testing::AssertionResult SameSamples(const std::vector<int16_t>& expected,
                                       const std::vector<int16_t>& actual) {
  if (expected == actual) return ::testing::AssertionSuccess();
  size_t i = 0;
  while (i < expected.size() && i < actual.size() && expected[i] == actual[i]) ++i;
  return ::testing::AssertionFailure() << expected.size() << " samples expected, " << actual.size()
                                       << " given, first difference at " << i;
}

// Speaks a take at a sample rate with a new engine instance.
std::vector<int16_t> SpeakTake(const EciLibrary& lib, const Take& take, int32_t sample_rate) {
  ECIHand engine = lib.New();
  EXPECT_NE(engine, nullptr);
  if (!engine) return {};
  EXPECT_GE(lib.SetParam(engine, ECI_PARAM_DIALECT, take.dialect), 0);
  EXPECT_GE(lib.SetParam(engine, ECI_PARAM_SAMPLE_RATE, sample_rate), 0);
  EXPECT_GE(lib.SetParam(engine, ECI_PARAM_ANNOTATED_INPUT, take.annotated), 0);
  if (take.preset) {
    EXPECT_TRUE(lib.CopyVoice(engine, take.preset, 0));
  }
  if (take.speed) {
    EXPECT_GE(lib.SetVoiceParam(engine, 0, ECI_VOICE_SPEED, take.speed), 0);
  }
  AudioRecorder rec(3000);
  rec.Attach(lib, engine);
  EXPECT_TRUE(lib.AddText(engine, take.text));
  EXPECT_TRUE(lib.Synthesize(engine));
  EXPECT_TRUE(lib.Synchronize(engine)) << lib.Message(engine);
  lib.Delete(engine);
  return rec.audio;
}

class EspeakDeterminism : public ::testing::TestWithParam<int32_t> {
 protected:
  void SetUp() override { ASSERT_TRUE(lib.Complete()) << ECI_LIBRARY_PATH; }

  std::vector<int16_t> Speak(const Take& take) { return SpeakTake(lib, take, GetParam()); }

  const EciLibrary& lib = EciLibrary::Get(ECI_LIBRARY_PATH);
};

TEST_P(EspeakDeterminism, TextGivesTheSameSamplesWhateverWasSpokenBefore) {
  const std::vector<int16_t> first = Speak(kTarget);
  ASSERT_GT(first.size(), 11025u);
  const std::vector<int16_t> fast = Speak(kFastTarget);
  ASSERT_GT(fast.size(), 2000u);
  for (const Take& other : kOthers) {
    Speak(other);
    EXPECT_TRUE(SameSamples(first, Speak(kTarget))) << "after: " << other.text;
    Speak(other);
    EXPECT_TRUE(SameSamples(fast, Speak(kFastTarget))) << "after: " << other.text;
  }
}

TEST_P(EspeakDeterminism, TwoTextsGiveTheSameSamplesInEitherOrder) {
  const Take& a = kTarget;
  const Take& b = kOthers[3];
  const std::vector<int16_t> a_first = Speak(a);
  const std::vector<int16_t> b_second = Speak(b);
  const std::vector<int16_t> b_first = Speak(b);
  const std::vector<int16_t> a_second = Speak(a);
  EXPECT_TRUE(SameSamples(a_first, a_second));
  EXPECT_TRUE(SameSamples(b_first, b_second));
}

INSTANTIATE_TEST_SUITE_P(Rates, EspeakDeterminism,
                         ::testing::Values(ECI_RATE_11025, ECI_RATE_22050),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                           return info.param == ECI_RATE_11025 ? "Resampled11025" : "Native22050";
                         });

// The breath noise of a voice like kFastTarget's is the same in programs
// started in different environments: here each one has a new, empty home
// folder and no runtime folder, where a probe of the sound server would
// make folders of its own (under home and /tmp, with names drawn from
// rand(), more draws for each name already taken), and it leaves its home
// folder alone.
TEST(EspeakSynthesisProcess, SpeaksTheSameWhereverTheProgramStarts) {
  const EciLibrary& lib = EciLibrary::Get(ECI_LIBRARY_PATH);
  ASSERT_TRUE(lib.Complete());
  TempFolder folder;
  std::vector<std::string> samples;
  for (int run = 0; run < 3; ++run) {
    const std::string home = folder.File("home" + std::to_string(run));
    const std::string output = folder.File("samples" + std::to_string(run));
    mkdir(home.c_str(), 0755);
    const pid_t program = fork();
    ASSERT_GE(program, 0);
    if (program == 0) {
      setenv("HOME", home.c_str(), 1);
      for (const char* name : {"XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "PULSE_SERVER"})
        unsetenv(name);
      srand(static_cast<unsigned>(getpid()));
      for (int i = rand() % 100; i > 0; --i) rand();
      const std::vector<int16_t> audio = SpeakTake(lib, kFastTarget, ECI_RATE_11025);
      std::ofstream(output, std::ios::binary)
          .write(reinterpret_cast<const char*>(audio.data()),
                 static_cast<std::streamsize>(audio.size() * sizeof(int16_t)));
      _exit(audio.size() > 2000 ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(program, &status, 0), program);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "run " << run;
    samples.push_back(folder.Read("samples" + std::to_string(run)));
    EXPECT_TRUE(std::filesystem::is_empty(home)) << "run " << run << " wrote in its home";
  }
  EXPECT_TRUE(samples[1] == samples[0]) << "the second program spoke otherwise";
  EXPECT_TRUE(samples[2] == samples[0]) << "the third program spoke otherwise";
}

// A program that speaks and then exits, or is killed in the middle of a
// synthesis, leaves no process behind: the child that plays the program
// runs under a subreaper that must be able to reap every descendant
// (program, synthesis process, synthesis) before its alarm goes off.
TEST(EspeakSynthesisProcess, EndsWithTheProgram) {
  const EciLibrary& lib = EciLibrary::Get(ECI_LIBRARY_PATH);
  ASSERT_TRUE(lib.Complete());
  for (bool killed : {false, true}) {
    const pid_t reaper = fork();
    ASSERT_GE(reaper, 0);
    if (reaper == 0) {
      prctl(PR_SET_CHILD_SUBREAPER, 1);
      alarm(20);
      const pid_t program = fork();
      if (program == 0) {
        ECIHand engine = lib.New();
        if (!engine) _exit(2);
        lib.SetParam(engine, ECI_PARAM_DIALECT, ECI_DIALECT_ITALIAN);
        AudioRecorder rec(1024);
        if (killed)
          rec.answer = [](int, int32_t) -> int32_t {
            raise(SIGKILL);
            return 0;
          };
        rec.Attach(lib, engine);
        std::string text;
        for (int i = 0; i < 30; ++i) text += kOthers[0].text;
        lib.AddText(engine, text.c_str());
        lib.Synthesize(engine);
        _exit(lib.Synchronize(engine) && rec.audio.size() > 11025 ? 0 : 3);
      }
      int status = 0;
      if (program < 0 || waitpid(program, &status, 0) != program) _exit(4);
      const bool as_expected = killed ? WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL
                                      : WIFEXITED(status) && WEXITSTATUS(status) == 0;
      while (wait(nullptr) > 0 || errno == EINTR) {
      }
      _exit(as_expected ? 0 : 5);
    }
    int status = 0;
    ASSERT_EQ(waitpid(reaper, &status, 0), reaper);
    EXPECT_TRUE(WIFEXITED(status))
        << (killed ? "killed" : "exited") << ": a process was left behind";
    EXPECT_EQ(WEXITSTATUS(status), 0) << (killed ? "killed" : "exited");
  }
}

}  // namespace
