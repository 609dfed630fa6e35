// The voices by number and by name: their list, the names as values of
// /V=, and the sample of a voice read aloud or, where there is no sound
// device, written into an MP3 file.
#include "conversion_fixture.h"

namespace {

const char* const kHeading = "Voci della sintesi vocale, da scegliere con /V=numero o /V=nome:\n";
const char* const kPresetLines[] = {
    "1  uomo: maschile, voce media (voce fake-1 della sintesi)\n",
    "2  donna: femminile, voce media (voce fake-2 della sintesi)\n",
    "3  bambino: di bambino, voce acuta (voce fake-3 della sintesi)\n",
    "4  baritono: maschile, voce profonda (voce fake-4 della sintesi)\n",
    "5  uomo2: maschile, voce media, altro timbro (voce fake-5 della sintesi)\n",
    "6  nonna: femminile, voce anziana (voce fake-6 della sintesi)\n",
    "7  nonno: maschile, voce anziana (voce fake-7 della sintesi)\n",
    "8  donna2: femminile, voce media, altro timbro (voce fake-8 della sintesi)\n",
};
const char* const kDefaultLine = "0  quella predefinita della sintesi\n";

// The list of an engine with the presets 1 to presets.
std::string VoiceList(int presets) {
  std::string list = kHeading;
  for (int n = 0; n < presets; ++n) list += kPresetLines[n];
  return list + kDefaultLine;
}

// The sample sentence as the fake engine speaks it with these tests'
// reading (lower case): its samples, and so the fake encoder's bytes.
const char* const kSample =
    "buongiorno, sono la voce che hai scelto per ascoltare i tuoi libri. ti piace come leggo?";

const std::map<std::string, std::string> kNoSoundDevice = {{"NARRAVOX_FAKE_ECI_NO_AUDIO", "1"}};

TEST_F(Conversion, VoicesAreListedAsTheEngineHasThem) {
  Configure();
  using Args = std::vector<std::string>;
  for (const Args& args : {Args{"--voci"}, Args{"/V=?"}, Args{"/vb=0", "/voce=?"},
                           Args{"--voci", "/L=UK"}}) {
    RunResult run = Convert(args);
    EXPECT_EQ(run.output, VoiceList(8)) << args[0];
    EXPECT_EQ(run.errors, "") << args[0];
    EXPECT_EQ(run.exitCode, 0) << args[0];
  }
  // The presets that the engine lacks are left out.
  EXPECT_EQ(Convert({"--voci"}, "", {{"NARRAVOX_FAKE_ECI_VOICES", "3"}}).output, VoiceList(3));
  // A request about the voices converts nothing.
  folder_.Write("libro.txt", "Una frase.\n");
  for (const std::string request : {"--voci", "--prova-voce"}) {
    RunResult run = Convert({request, "libro.txt"});
    EXPECT_TRUE(StoppedWith(
        run, "La richiesta " + request + " non prende file di testo: togliere \"libro.txt\"", kBannerLines));
    EXPECT_EQ(run.exitCode, 2);
  }
  EXPECT_FALSE(folder_.Exists("out"));
}

// The fake engine speaks the active voice's parameters into every file
// (preset n has the pitch 100 + 10 n): a name gives the bytes of its number.
TEST_F(Conversion, AVoiceNameStandsForItsNumber) {
  const std::map<std::string, std::string> marked = {{"NARRAVOX_FAKE_ECI_MARK", "1"}};
  std::map<std::string, std::string> files;
  for (const std::string option : {"/V=3", "/V=Bambino", "/V=uomo"}) {
    ProgramFolder folder(false);
    folder.Write("narravox.INI", Configuration(""));
    folder.Write("libro.txt", "Una frase.\n");
    ASSERT_EQ(folder.Run({"/VB=0", option, "libro.txt"}, "", marked).exitCode, 0) << option;
    files[option] = folder.Read("out/libro/001.mp3");
  }
  EXPECT_NE(files["/V=3"].find(" V=0,0,130,"), std::string::npos) << files["/V=3"];
  EXPECT_EQ(files["/V=Bambino"], files["/V=3"]);
  EXPECT_NE(files["/V=uomo"].find(" V=0,0,110,"), std::string::npos) << files["/V=uomo"];

  Configure();
  folder_.Write("libro.txt", "Una frase.\n");
  EXPECT_TRUE(StoppedWith(Convert({"/V=pippo", "libro.txt"}),
                          "Parametro non valido /V=pippo: la voce va da 0 a 8, o uno dei nomi di "
                          "--voci (uomo, donna, bambino, baritono, uomo2, nonna, nonno, donna2)", kBannerLines));
}

TEST_F(Conversion, TheVoiceSampleIsReadAloudOrWrittenWithoutASoundDevice) {
  Configure();
  const std::string log = folder_.File("eci.log");
  // With a sound device (the fake reads aloud in silence) nothing is shown
  // or written, the engine reading the sample with the options.
  RunResult aloud =
      Convert({"--prova-voce", "/V=donna", "/VE=300"}, "", {{"NARRAVOX_FAKE_ECI_LOG", log}});
  EXPECT_EQ(aloud.output, "");
  EXPECT_EQ(aloud.errors, "");
  EXPECT_EQ(aloud.exitCode, 0);
  const std::string calls = folder_.Read("eci.log");
  EXPECT_NE(calls.find("eciCopyVoice 2 0 -> 1\neciSetVoiceParam 0 6 300"), std::string::npos)
      << calls;
  EXPECT_NE(calls.find(std::string("eciAddText \"") + kSample + "\" -> 1"), std::string::npos);
  EXPECT_EQ(calls.find("eciSetOutputBuffer"), std::string::npos) << calls;
  EXPECT_FALSE(folder_.Exists("out"));

  // Without one, the sample goes whole into a file of the destination.
  RunResult written = Convert({"--prova-voce", "/D=campioni"}, "", kNoSoundDevice);
  const std::string path = folder_.File("campioni/prova-voce.mp3");
  EXPECT_EQ(written.output,
            "Nessun dispositivo audio: il campione della voce e' nel file \"" + path + "\"\n");
  EXPECT_EQ(written.errors, "");
  EXPECT_EQ(written.exitCode, 0);
  EXPECT_EQ(folder_.Read("campioni/prova-voce.mp3"), kSample);
  EXPECT_EQ(Listing("campioni"), "prova-voce.mp3\n");

  // A file that fails halfway leaves nothing, and any other failure of the
  // engine is an error, not a missing sound device.
  std::map<std::string, std::string> encoderFails = kNoSoundDevice;
  encoderFails["NARRAVOX_FAKE_ENC_FAIL"] = "beEncodeChunk:2:2";
  encoderFails["NARRAVOX_FAKE_ENC_CHUNK"] = "16";
  RunResult broken = Convert({"--prova-voce"}, "", encoderFails);
  EXPECT_TRUE(StoppedWith(broken, "Errore encoder MP3 (codice 2)", kBannerLines));
  EXPECT_EQ(broken.exitCode, 1);
  EXPECT_EQ(Listing("out"), "");
  RunResult failed =
      Convert({"--prova-voce", "/D=altro"}, "", {{"NARRAVOX_FAKE_ECI_FAIL", "eciSynchronize:1"}});
  EXPECT_EQ(failed.exitCode, 1) << failed;
  EXPECT_NE(failed.errors.find("* ERRORE: "), std::string::npos) << failed;
  EXPECT_FALSE(folder_.Exists("altro"));
}

}  // namespace
