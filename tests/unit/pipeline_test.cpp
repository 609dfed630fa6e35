// The audio pipeline with the fake engine and encoder: what reaches the MP3
// file, how buffers are cut into encoder chunks, and every failure.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include <dirent.h>
#include <climits>

#include "audio/output_file.h"
#include "audio/pipeline.h"
#include "audio/processing.h"
#include "base/run_state.h"
#include "base/settings.h"
#include "pipeline_fixture.h"

namespace {

// Makes the descriptor that this process holds open on path a copy of fd.
bool ReplaceOpenFile(const std::string& path, int fd) {
  DIR* dir = opendir("/proc/self/fd");
  if (!dir) return false;
  bool found = false;
  while (dirent* entry = readdir(dir)) {
    char target[PATH_MAX + 1] = {};
    std::string link = std::string("/proc/self/fd/") + entry->d_name;
    if (readlink(link.c_str(), target, PATH_MAX) > 0 && path == target) {
      found = dup2(fd, std::atoi(entry->d_name)) >= 0;
      break;
    }
  }
  closedir(dir);
  return found;
}

std::string Bytes(size_t n, unsigned seed) {
  std::string text(n, 'a');
  for (size_t i = 0; i < n; ++i) text[i] = static_cast<char>('a' + (i * 7 + seed) % 26);
  return text;
}

TEST_F(PipelineTest, TextReachesTheFileWithPausesAndTag) {
  EditableSettings().PAUSATESTA = HeadPauseAnnotation(1);
  Activate();
  uint8_t tag[128];
  for (int i = 0; i < 128; ++i) tag[i] = static_cast<uint8_t>(i);
  MakeOutputFile(Pipeline().Output(), File("001.mp3"), [&] {
    Engine().AddAnnotatedText(Settings.PAUSATESTA.c_str());
    Engine().AddText("ciao");
    Engine().AddAnnotatedText(TailPauseAnnotation(2).c_str());
    Engine().SynthesizeAndWait();
    Pipeline().FinishMp3File(tag);
    Pipeline().CheckError();
  });
  // A pause of n gives n milliseconds of zeros at 11025 Hz: 11 and 22.
  std::string expected = std::string(11, '\0') + "\r\n" + "ciao" + "\r\n" + std::string(22, '\0') +
                         "\r\n" + std::string(reinterpret_cast<char*>(tag), 128);
  EXPECT_EQ(Read("001.mp3"), expected);
  // Annotations are switched on for the pauses only.
  EXPECT_EQ(Count(EngineLog(), "eciSetParam 1 1 "), 2);
  EXPECT_EQ(Count(EngineLog(), "eciSetParam 1 0 "), 2);
}

TEST_F(PipelineTest, FullBuffersTakeWholeChunksAndGrowTheMp3Buffer) {
  Activate();
  // 30 s at 11025 Hz, cut down to whole chunks of the fake's 576 samples.
  const int32_t capacity = Pipeline().BufferCapacity();
  ASSERT_EQ(capacity, 576 * (11025 * 30 / 576));
  // One buffer exactly full, then one buffer of 100 samples.
  std::string text = Bytes(static_cast<size_t>(capacity) + 100, 1);
  SpeakInto(File("001.mp3"), text);
  EXPECT_EQ(Read("001.mp3"), text);
  std::string log = EncoderLog();
  EXPECT_EQ(Count(log, "nSamples=576 -> 0"), 574);
  EXPECT_EQ(Count(log, "nSamples=100 -> 0"), 1);
  EXPECT_EQ(Count(log, "beEncodeChunk"), 575);
  // A second file goes through a freshly opened stream.
  Pipeline().UseStream();
  SpeakInto(File("002.mp3"), "ab");
  EXPECT_EQ(Read("002.mp3"), "ab");
  EXPECT_EQ(Count(EncoderLog(), "beEncodeChunk stream=2 nSamples=2"), 1);
}

TEST_F(PipelineTest, SmallFillsAndNoAudio) {
  setenv("NARRAVOX_FAKE_ECI_FILL", "1000", 1);
  setenv("NARRAVOX_FAKE_ENC_FLUSH", "xyz", 1);
  Activate();
  std::string text = Bytes(5555, 2);
  SpeakInto(File("001.mp3"), text);
  EXPECT_EQ(Read("001.mp3"), text + "xyz");
  // A fragment without audio: the file holds the flush alone.
  Pipeline().UseStream();
  MakeOutputFile(Pipeline().Output(), File("002.mp3"), [&] {
    Engine().SynthesizeAndWait();
    Pipeline().FinishMp3File(nullptr);
    Pipeline().CheckError();
  });
  EXPECT_EQ(Read("002.mp3"), "xyz");
}

TEST_F(PipelineTest, UpsamplingInterpolatesAcrossBuffers) {
  int16_t out[8];
  const int16_t up[] = {100};
  EXPECT_EQ(Upsample4x(0, up, out, 1), 100);
  EXPECT_EQ(std::vector<int16_t>(out, out + 4), (std::vector<int16_t>{25, 50, 75, 100}));
  const int16_t down[] = {-7};
  EXPECT_EQ(Upsample4x(0, down, out, 1), -7);
  EXPECT_EQ(std::vector<int16_t>(out, out + 4), (std::vector<int16_t>{-1, -3, -4, -7}));
  const int16_t extremes[] = {32767, -32768};
  EXPECT_EQ(Upsample4x(-7, extremes, out, 2), -32768);
  EXPECT_EQ(out[3], 32767);
  EXPECT_EQ(out[7], -32768);

  // Through the pipeline: across the buffers of a file, and every file
  // from silence, so that a file made again alone ("/R") is the same.
  setenv("NARRAVOX_FAKE_ECI_FILL", "1", 1);
  EditableSettings().RESAMPLE = -1;
  Activate();
  SpeakInto(File("001.mp3"), "dx");  // 100 120: 25 50 75 100, 105 110 115 120
  Pipeline().UseStream();
  SpeakInto(File("002.mp3"), "x");  // 120: 30 60 90 120
  EXPECT_EQ(Read("001.mp3"), std::string({25, 50, 75, 100, 105, 110, 115, 120}));
  EXPECT_EQ(Read("002.mp3"), std::string({30, 60, 90, 120}));
}

// The hand-over as the engine sees it, with a write that ends before the
// engine's next call, one that is still running (a FIFO holds it), and a
// buffer that is still being encoded.
TEST_F(PipelineTest, CallbackAnswersFollowTheWrite) {
  Activate();
  const int32_t capacity = Pipeline().BufferCapacity();
  std::fill_n(Pipeline().BufferData(), capacity, static_cast<int16_t>('a'));
  Pipeline().Output().Begin(File("001.mp3"));
  EXPECT_EQ(Offer(0, 100), 0);
  ASSERT_TRUE(WaitForState(TPipelineState::WrittenEngineNotTold));
  EXPECT_EQ(Offer(0, 100), 1);
  EXPECT_EQ(Pipeline().State(), TPipelineState::Idle);
  EXPECT_EQ(Offer(7, 0), 1);  // other messages
  Pipeline().FinishMp3File(nullptr);
  Pipeline().Output().Publish();

  ASSERT_EQ(mkfifo(File("fifo").c_str(), 0600), 0);
  // Closing the reader also ends a write that a failed check left waiting.
  struct TReader {
    int fd;
    ~TReader() {
      if (fd >= 0) close(fd);
    }
  } reader{open(File("fifo").c_str(), O_RDONLY | O_NONBLOCK)};
  ASSERT_GE(reader.fd, 0);
  Pipeline().UseStream();
  // The file being made becomes the FIFO's writing end.
  Pipeline().Output().Begin(File("002.mp3"));
  int writer = open(File("fifo").c_str(), O_WRONLY);
  ASSERT_GE(writer, 0);
  ASSERT_TRUE(ReplaceOpenFile(TemporaryName(File("002.mp3")), writer));
  close(writer);
  EXPECT_EQ(Offer(0, capacity), 0);
  ASSERT_TRUE(WaitForState(TPipelineState::Writing));  // the FIFO is full: the write waits
  EXPECT_EQ(Offer(0, capacity), 1);
  EXPECT_EQ(Pipeline().State(), TPipelineState::WritingEngineTold);
  EXPECT_EQ(Offer(0, 50), 0);  // the next buffer waits
  EXPECT_EQ(Pipeline().State(), TPipelineState::WritingEngineTold);
  std::string drained;
  char chunk[65536];
  ASSERT_TRUE(WaitUntil([&] {
    ssize_t n = read(reader.fd, chunk, sizeof chunk);
    if (n > 0) drained.append(chunk, static_cast<size_t>(n));
    return drained.size() >= static_cast<size_t>(capacity);
  }));
  ASSERT_TRUE(WaitForState(TPipelineState::Idle));
  EXPECT_EQ(Offer(0, 50), 0);  // handed over at last
  ASSERT_TRUE(WaitForState(TPipelineState::WrittenEngineNotTold));
  EXPECT_EQ(Offer(0, 50), 1);
  Pipeline().FinishMp3File(nullptr);
  Pipeline().Output().Discard();
  EXPECT_EQ(drained, std::string(static_cast<size_t>(capacity), 'a'));

  // With no thread to encode it, a buffer handed over stays being encoded:
  // the engine must wait for it.
  Pipeline().StopEncoderThread();
  EXPECT_EQ(Offer(0, 50), 0);
  EXPECT_EQ(Pipeline().State(), TPipelineState::Encoding);
  EXPECT_EQ(Offer(0, 50), 0);
  EXPECT_EQ(Pipeline().State(), TPipelineState::Encoding);
}

TEST_F(PipelineTest, EncoderFailureMidBufferAbortsWithItsCode) {
  setenv("NARRAVOX_FAKE_ENC_FAIL", "beEncodeChunk:3:7", 1);
  Activate();
  std::string text = Bytes(5000, 3);
  EXPECT_EQ(ErrorOf([&] { SpeakInto(File("001.mp3"), text); }), "Errore encoder MP3 (codice 7)");
  EXPECT_EQ(Count(EngineLog(), "-> 2"), 1) << EngineLog();
  EXPECT_FALSE(Exists("001.mp3"));
  EXPECT_FALSE(Exists("001.mp3.parziale"));
}

TEST_F(PipelineTest, FlushFailureIsReportedAtOnce) {
  setenv("NARRAVOX_FAKE_ENC_FAIL", "beDeinitStream:1:4", 1);
  Activate();
  EXPECT_EQ(ErrorOf([&] { SpeakInto(File("001.mp3"), "abc"); }), "Errore encoder MP3 (codice 4)");
  EXPECT_FALSE(Exists("001.mp3"));
  EXPECT_FALSE(Exists("001.mp3.parziale"));
}

TEST_F(PipelineTest, ShortWriteIsAWriteErrorAndLeavesNoFile) {
  Activate();
  rlimit saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit limit = saved;
  limit.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  std::string error = ErrorOf([&] { SpeakInto(File("001.mp3"), Bytes(100000, 4)); });
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_EQ(error, "Errore durante la scrittura del file \"" + File("001.mp3") +
                       "\" (codice 27: file troppo grande per il limite del sistema, ulimit -f)");
  EXPECT_FALSE(Exists("001.mp3"));
  EXPECT_FALSE(Exists("001.mp3.parziale"));
}

TEST_F(PipelineTest, EngineFailureAtEachActivationStep) {
  struct Case {
    const char* fail;
    const char* name;
  } cases[] = {
      {"eciSetParam:1", "eciSetParam (call 1)"},
      {"eciSetParam:2", "eciSetParam (call 2)"},
      {"eciSetParam:3", "eciSetParam (call 3)"},
      {"eciSetParam:4", "eciSetParam (call 4)"},
      {"eciSetParam:5", "eciSetParam (call 5)"},
      {"eciSetVoiceParam:1:9", "eciSetVoiceParam (call 1)"},
      {"eciSetVoiceParam:2", "eciSetVoiceParam (call 2)"},
      {"eciSetVoiceParam:3", "eciSetVoiceParam (call 3)"},
      {"eciSetOutputBuffer:1", "eciSetOutputBuffer (call 1)"},
  };
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    EditableSettings().TONALITA = 100;
    EditableSettings().VOCE = 2;
    setenv("NARRAVOX_FAKE_ECI_FAIL", c.fail, 1);
    std::string code = std::string(c.fail).find(":9") != std::string::npos ? "9" : "2";
    EXPECT_EQ(ErrorOf([&] { Activate(); }),
              "Errore dell'engine di sintesi vocale (codice " + code +
                  ");\r\n(info addizionali dell'engine: \"injected failure of " + c.name + "\")")
        << c.fail;
  }
  // The fake counts its instances while it stays loaded: fail the next one.
  TearDown();
  SetUp();
  Activate();
  std::string log = EngineLog();
  int next = std::atoi(log.substr(log.find("eciNew -> #") + 11).c_str()) + 1;
  setenv("NARRAVOX_FAKE_ECI_FAIL", ("eciNew:" + std::to_string(next)).c_str(), 1);
  // A second processing while the first keeps the library loaded.
  TProcessing second(Settings.ECIDLL, TProcessing::TRole::Worker);
  EXPECT_EQ(ErrorOf([&] { second.Start(); }), "Impossibile attivare la sintesi vocale richiesta");
}

TEST_F(PipelineTest, MissingLibrariesAndEntryPoints) {
  EditableSettings().ECIDLL = File("libeci.so");
  EXPECT_EQ(ErrorOf([&] { Activate(); }),
            "Impossibile caricare la libreria " + File("libeci.so") + ", errore codice 0");
  EXPECT_EQ(ErrorOf([&] { TEngineBinding(FAKE_ENC_LIBRARY).Activate(); }),
            std::string("Impossibile trovare la funzione eciNew nella DLL ") + FAKE_ENC_LIBRARY);
  EditableSettings().ECIDLL = FAKE_ECI_LIBRARY;
  EditableSettings().MP3DLL = FAKE_ECI_LIBRARY;
  EXPECT_EQ(
      ErrorOf([&] { Activate(); }),
      std::string("Impossibile trovare la funzione beInitStream nella DLL ") + FAKE_ECI_LIBRARY);
}

TEST_F(PipelineTest, TestModeNeverLoadsTheEncoder) {
  RunState.TestMode = true;
  EditableSettings().MP3DLL = File("nessuno.so");
  Activate();
  Engine().AddText("ciao");
  Engine().SynthesizeAndWait();
  EXPECT_EQ(Count(EngineLog(), "eciSetOutputBuffer"), 0);
  EXPECT_EQ(Count(EngineLog(), "eciRegisterCallback"), 0);
  EXPECT_FALSE(Exists("encoder.log"));
}

// The record the encoder receives, byte for byte, as 332 little-endian bytes
// in hex: the fields at offsets 0..72 and zeros after them.
std::string ExpectedConfig(uint32_t in, uint32_t out) {
  uint32_t fields[19] = {256, 1, 332, in, out, 3, 48, 0, 0, 0, 0, 0, 0, 0, 0, 0xFFFFFFFF, 0, 0, 0};
  std::string hex;
  char byte[3];
  for (uint32_t field : fields)
    for (int b = 0; b < 4; ++b) {
      snprintf(byte, sizeof byte, "%02x", (field >> (8 * b)) & 0xFF);
      hex += byte;
    }
  return hex + std::string(2 * (332 - 76), '0');
}

TEST_F(PipelineTest, EncoderConfigIsFilledByteForByte) {
  struct Case {
    int32_t sample, resample;
    uint32_t in, out;
  } cases[] = {{11025, 0, 11025, 11025},
               {11025, -1, 44100, 44100},
               {11025, 22050, 11025, 22050},
               {8000, -1, 32000, 32000}};
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    EditableSettings().SAMPLE = c.sample;
    EditableSettings().RESAMPLE = c.resample;
    Activate();
    std::string log = EncoderLog();
    size_t at = log.find("config=");
    ASSERT_NE(at, std::string::npos);
    std::string hex = log.substr(at + 7, 664);
    for (char& ch : hex) ch = static_cast<char>(tolower(ch));
    EXPECT_EQ(hex, ExpectedConfig(c.in, c.out)) << c.sample << " " << c.resample;
    EXPECT_EQ(Pipeline().IsUpsampling(), c.resample < 0);
  }
}

}  // namespace
