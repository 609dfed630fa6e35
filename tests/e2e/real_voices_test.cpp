// The voices with the real engine (libeci.so on espeak-ng) and encoder
// (liblame_enc.so): the list names the library's own presets, and without a
// sound device the sample of a voice is an MP3 file that decodes to speech.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "plugins/lame/mp3_frames.h"
#include "run_program.h"

namespace {

// Whether the engine library would find a sound device here: a sound
// server named in the environment or an ALSA playback device (the runs get
// an empty runtime folder, so no server's socket).
bool SoundDeviceHere() {
  namespace fs = std::filesystem;
  if (std::getenv("PULSE_SERVER")) return true;
  std::error_code ec;
  for (fs::directory_iterator it("/dev/snd", ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind("pcmC", 0) == 0 && name.back() == 'p') return true;
  }
  return false;
}

TEST(RealVoices, TheListNamesTheEnginePresetsAndTheSampleBecomesAFile) {
  ProgramFolder folder(false);
  folder.Write("narravox.INI", std::string("[Narravox]\r\nECIDLL=") + ECI_LIBRARY +
                                   "\r\nMP3DLL=" + LAME_ENC_LIBRARY + "\r\nD=out\r\n");
  RunResult list = folder.Run({"--voci"});
  EXPECT_EQ(list.output,
            "Voci della sintesi vocale, da scegliere con /V=numero o /V=nome:\n"
            "1  uomo: maschile, voce media (voce m3 della sintesi)\n"
            "2  donna: femminile, voce media (voce f2 della sintesi)\n"
            "3  bambino: di bambino, voce acuta (voce zac della sintesi)\n"
            "4  baritono: maschile, voce profonda (voce m4 della sintesi)\n"
            "5  uomo2: maschile, voce media, altro timbro (voce m6 della sintesi)\n"
            "6  nonna: femminile, voce anziana (voce grandma della sintesi)\n"
            "7  nonno: maschile, voce anziana (voce grandpa della sintesi)\n"
            "8  donna2: femminile, voce media, altro timbro (voce f4 della sintesi)\n"
            "0  quella predefinita della sintesi\n");
  EXPECT_EQ(list.exitCode, 0) << list;

  if (SoundDeviceHere()) GTEST_SKIP() << "a sound device is here: the sample would be heard";
  folder.MakeFolder("run");
  RunResult sample = folder.Run({"--prova-voce", "/V=nonna", "/VE=150"}, "",
                                {{"XDG_RUNTIME_DIR", folder.File("run")}});
  EXPECT_EQ(sample.output, "Nessun dispositivo audio: il campione della voce e' nel file \"" +
                               folder.File("out/prova-voce.mp3") + "\"\n");
  EXPECT_EQ(sample.errors, "");
  EXPECT_EQ(sample.exitCode, 0);
  const std::string bytes = folder.Read("out/prova-voce.mp3");
  const std::vector<std::uint8_t> mp3(bytes.begin(), bytes.end());
  std::vector<Mp3Frame> frames;
  EXPECT_TRUE(splitFrames(mp3, frames)) << "frames back to back, no tag";
  DecodedAudio audio = decodeMp3(mp3);
  ASSERT_TRUE(audio.ok);
  EXPECT_EQ(audio.rate, 11025);
  // Two short sentences, slowly: a few seconds of speech, not of silence.
  const double seconds = static_cast<double>(audio.samples.size()) / audio.rate;
  EXPECT_GT(seconds, 2.0);
  EXPECT_LT(seconds, 20.0);
  int peak = 0;
  for (std::int16_t s : audio.samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
  EXPECT_GT(peak, 3000);
}

}  // namespace
