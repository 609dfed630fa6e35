// Several files at once with the real engine and encoder: the workers write
// the very bytes of a one-stream run, and those decode to speech.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "plugins/lame/mp3_frames.h"
#include "run_program.h"

namespace {

const char kText[] =
    "Nel mezzo del cammin di nostra vita.\n---\n"
    "Mi ritrovai per una selva oscura.\n---\n"
    "Che la diritta via era smarrita.\n---\n"
    "Ahi quanto a dir qual era e' cosa dura.\n";

struct TFile {
  std::string bytes;
  double seconds;
};

// The four files of kText, with their seconds of speech.
std::vector<TFile> Convert(const std::string& parallel) {
  ProgramFolder folder(false);
  folder.Write("narravox.INI", std::string("[Narravox]\r\nECIDLL=") + ECI_LIBRARY + "\r\nMP3DLL=" +
                                   LAME_ENC_LIBRARY + "\r\nD=out\r\nRF=---\r\nI3=V2\r\n");
  folder.Write("dante.txt", kText);
  RunResult run = folder.Run({"/VB=0", parallel, "dante.txt"});
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_FALSE(folder.Exists("out/dante/005.mp3"));
  std::vector<TFile> files;
  for (const char* name : {"001.mp3", "002.mp3", "003.mp3", "004.mp3"}) {
    std::string mp3 = folder.Read(std::string("out/dante/") + name);
    DecodedAudio audio = decodeMp3(std::vector<std::uint8_t>(mp3.begin(), mp3.end()));
    EXPECT_TRUE(audio.ok) << name << " with " << parallel;
    files.push_back({mp3, audio.ok ? static_cast<double>(audio.samples.size()) / audio.rate : 0});
  }
  return files;
}

TEST(ParallelAudio, WorkersSpeakTheFilesOfOneStream) {
  std::vector<TFile> one = Convert("/PA=1"), three = Convert("/PA=3"), two = Convert("/PA=2");
  for (size_t i = 0; i < one.size(); ++i) {
    EXPECT_GT(one[i].seconds, 1.0) << "file " << i + 1;
    EXPECT_TRUE(three[i].bytes == one[i].bytes) << "file " << i + 1 << " with /PA=3";
    EXPECT_TRUE(two[i].bytes == one[i].bytes) << "file " << i + 1 << " with /PA=2";
  }
}

// Every file under out/ of a run over several short texts, with folder
// clips, each text's files made while the next texts' are in progress.
std::map<std::string, std::string> ConvertTexts(const std::string& parallel) {
  ProgramFolder folder(false);
  folder.Write("narravox.INI", std::string("[Narravox]\r\nECIDLL=") + ECI_LIBRARY + "\r\nMP3DLL=" +
                                   LAME_ENC_LIBRARY + "\r\nD=out\r\nIC=S\r\nI3=S\r\n");
  std::vector<std::string> args = {"/VB=0", parallel};
  const char* verses[] = {"Nel mezzo del cammin di nostra vita.", "Mi ritrovai per una selva oscura.",
                          "Che la diritta via era smarrita.", "Ahi quanto a dir qual era e' cosa dura.",
                          "Esta selva selvaggia e aspra e forte."};
  for (int i = 0; i < 5; ++i) {
    std::string name = "canto" + std::to_string(i + 1) + ".txt";
    folder.Write(name, verses[i]);
    args.push_back(name);
  }
  RunResult run = folder.Run(args);
  EXPECT_EQ(run.exitCode, 0) << run;
  std::string command = "cd '" + folder.path() + "' && find out -type f | sort > .files";
  EXPECT_EQ(std::system(command.c_str()), 0);
  std::map<std::string, std::string> files;
  std::string names = folder.Read(".files");
  for (size_t at = 0, end; (end = names.find('\n', at)) != std::string::npos; at = end + 1)
    files[names.substr(at, end - at)] = folder.Read(names.substr(at, end - at));
  return files;
}

TEST(ParallelAudio, TextsWhoseFilesOverlapGiveTheBytesOfOneStream) {
  std::map<std::string, std::string> one = ConvertTexts("/PA=1");
  EXPECT_EQ(one.size(), 10u);  // a file and a folder clip per text
  EXPECT_TRUE(ConvertTexts("/PA=3") == one);
  EXPECT_TRUE(ConvertTexts("/PA=2") == one);
}

}  // namespace
