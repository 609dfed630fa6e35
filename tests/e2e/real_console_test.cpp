// The console of a conversion with the real engine (libeci.so on espeak-ng)
// and encoder: the running count of the audio at VERBOSITA 3 in a log.
#include <gtest/gtest.h>

#include "run_program.h"

namespace {

TEST(RealConsole, TheAudioCountOfVerbosityThreeHasALineAMinuteInALog) {
  ProgramFolder folder(false);
  folder.Write("narravox.INI", std::string("[Narravox]\r\nECIDLL=") + ECI_LIBRARY +
                                   "\r\nMP3DLL=" + LAME_ENC_LIBRARY + "\r\nD=out\r\nCC=N\r\n");
  std::string text;
  while (text.size() < 2500) text += "Una frase che la sintesi legge per intero, parola per parola.\n";
  folder.Write("lungo.txt", text);
  RunResult run = folder.Run({"/VB=3", "/PA=1", "lungo.txt"});
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  // Whole lines, one event each: no carriage return runs them together.
  EXPECT_EQ(run.output.find('\r'), std::string::npos);
  EXPECT_NE(run.output.find("File 1 di 1 (001.mp3): 0 %\nAudio sintetizzato: 1 minuto\n"),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("Audio sintetizzato: 2 minuti\nConversione terminata correttamente\nTesti convertiti: 1; saltati: 0\nFile MP3 creati: 1, con 2 minuti e "), std::string::npos)
      << run.output;
}

}  // namespace
