// The formats today's players read, checked with the real engine and
// encoder libraries: RockBox Speex clips decoded as the players decode
// them, and ID3v2 tags read by ffprobe and mutagen.
#include <gtest/gtest.h>

#include <speex/speex.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>

#include "eci_library.h"
#include "run_program.h"

namespace {

constexpr double kEngineRate = 11025.0;
constexpr double kHeadPauseSeconds = 0.25;

// A program folder that converts with libeci.so and liblame_enc.so.
class RealLibraries : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.Write("narravox.INI", std::string("[Narravox]\r\nECIDLL=") + ECI_LIBRARY_PATH +
                                      "\r\nMP3DLL=" + LAME_LIBRARY_PATH +
                                      "\r\nD=out\r\nCC=N\r\nVB=0\r\nRF=--\r\n");
  }
  void Convert(const std::vector<std::string>& args) {
    RunResult result = folder_.Run(args);
    ASSERT_EQ(result.exitCode, 0) << result.output;
    ASSERT_EQ(result.output, "");
  }
  ProgramFolder folder_{false};
};

// Speaks text with the program's engine settings and gives its length.
double SpokenSeconds(const std::string& text) {
  const EciLibrary& lib = EciLibrary::Get(ECI_LIBRARY_PATH);
  ECIHand engine = lib.New();
  lib.SetParam(engine, ECI_PARAM_DIALECT, ECI_DIALECT_ITALIAN);
  lib.SetParam(engine, ECI_PARAM_SAMPLE_RATE, ECI_RATE_11025);
  lib.SetParam(engine, ECI_PARAM_REAL_WORLD_UNITS, 1);
  lib.SetVoiceParam(engine, 0, ECI_VOICE_SPEED, 200);
  AudioRecorder recorder(8192);
  recorder.Attach(lib, engine);
  lib.AddText(engine, text.c_str());
  lib.Synthesize(engine);
  lib.Synchronize(engine);
  lib.Delete(engine);
  return static_cast<double>(recorder.audio.size()) / kEngineRate;
}

// Decodes a clip as the players do: the whole file is the bit buffer of a
// wideband decoder with perceptual enhancement, frames are decoded until
// the decoder says stop, and the first lookahead samples are dropped.
std::vector<int16_t> DecodeClip(std::string clip) {
  std::unique_ptr<void, void (*)(void*)> decoder(
      speex_decoder_init(speex_lib_get_mode(SPEEX_MODEID_WB)), speex_decoder_destroy);
  int enhance = 1, frameSize = 0, lookahead = 0;
  speex_decoder_ctl(decoder.get(), SPEEX_SET_ENH, &enhance);
  speex_decoder_ctl(decoder.get(), SPEEX_GET_FRAME_SIZE, &frameSize);
  speex_decoder_ctl(decoder.get(), SPEEX_GET_LOOKAHEAD, &lookahead);
  SpeexBits bits;
  speex_bits_set_bit_buffer(&bits, clip.data(), static_cast<int>(clip.size()));
  std::vector<int16_t> speech, frame(static_cast<size_t>(frameSize));
  // A frame takes at least a few bits: the bound only guards a broken decoder.
  for (size_t n = 0; n < clip.size() * 8; ++n) {
    if (speex_decode_int(decoder.get(), &bits, frame.data()) != 0) break;
    speech.insert(speech.end(), frame.begin(), frame.end());
  }
  speech.erase(speech.begin(), speech.begin() + std::min<size_t>(speech.size(), lookahead));
  return speech;
}

double Rms(const std::vector<int16_t>& s) {
  double sum = 0;
  for (int16_t v : s) sum += double(v) * v;
  return s.empty() ? 0 : std::sqrt(sum / double(s.size()));
}

// 40 characters.
const char kLongName[] = "Sinfonia dal nuovo mondo di Antonin Dvor";

TEST_F(RealLibraries, SpeexClipsDecodeToTheSpeechOfTheirText) {
  const std::string name = kLongName;
  ASSERT_EQ(name.size(), 40u);
  folder_.Write(name + ".txt", "Primo frammento.\n--\nSecondo frammento.\n");
  Convert({"/CR=S", "/CF=S", name + ".txt"});
  const std::pair<std::string, std::string> clips[] = {
      {"_dirname.talk", "Cartella testi " + name + ": file da 1 a 2 di 2"},
      {"001.mp3.talk", name + ", file 1"},
      {"002.mp3.talk", name + ", file 2"}};
  for (const auto& [file, text] : clips) {
    SCOPED_TRACE(file);
    std::string clip = folder_.Read("out/" + name + "/" + file);
    EXPECT_LT(clip.size(), 40u * 1024);
    EXPECT_NE(clip.substr(0, 3), "ID3");
    std::vector<int16_t> speech = DecodeClip(clip);
    double seconds = static_cast<double>(speech.size()) / 16000.0;
    double expected = SpokenSeconds(text) + kHeadPauseSeconds;
    EXPECT_NEAR(seconds, expected, expected * 0.1);
    EXPECT_GT(Rms(speech), 300.0);
  }
}

// Runs a command and gives what it prints, standard error included.
std::string Output(const std::string& command, int* status) {
  std::string text;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  *status = pclose(pipe);
  return text;
}

int CurrentYear() {
  std::time_t now = std::time(nullptr);
  return std::localtime(&now)->tm_year + 1900;
}

TEST_F(RealLibraries, Id3v2TagsAreReadByFfprobeAndMutagen) {
  const std::string name = "Dvo\xC5\x99\xC3\xA1k";
  folder_.Write(name + ".txt", "Primo frammento.\n--\nSecondo frammento.\n");
  Convert({"/I3=V2", name + ".txt"});
  Convert({"/I3=S", "/D=v1", name + ".txt"});
  const std::string year = std::to_string(CurrentYear());
  for (const std::string n : {"1", "2"}) {
    SCOPED_TRACE(n);
    const std::string path = folder_.File("out/" + name + "/00" + n + ".mp3");
    int status = 0;
    std::string probe = Output(
        "ffprobe -v error -show_entries format_tags=title,album,track,"
        "genre,date -of default=noprint_wrappers=1 '" +
            path + "'",
        &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(probe, "TAG:title=Track " + n + "\nTAG:album=" + name + "\nTAG:track=" + n +
                         "\nTAG:genre=Speech\nTAG:date=" + year + "\n");
    std::string mutagen = Output(
        "/usr/bin/python3 -c 'import sys, mutagen.id3; t = mutagen.id3.ID3(sys.argv[1], "
        "translate=False); "
        "print(t.version, *(t[k].text[0] for k in (\"TIT2\", \"TALB\", \"TRCK\", \"TCON\", "
        "\"TYER\")), sep=\"|\")' '" +
            path + "'",
        &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(mutagen, "(2, 3, 0)|Track " + n + "|" + name + "|" + n + "|Speech|" + year + "\n");
    EXPECT_EQ(Output("ffmpeg -nostdin -v error -i '" + path + "' -f null -", &status), "");
    EXPECT_EQ(status, 0);
    // The v1 tag at the end is that of a file tagged with v1 alone.
    std::string withV2 = folder_.Read("out/" + name + "/00" + n + ".mp3");
    std::string withV1 = folder_.Read("v1/" + name + "/00" + n + ".mp3");
    ASSERT_GT(withV2.size(), 128u);
    EXPECT_EQ(withV2.substr(withV2.size() - 128), withV1.substr(withV1.size() - 128));
    EXPECT_EQ(withV1.substr(withV1.size() - 128, 3), "TAG");
  }
}

}  // namespace
