// Paragraph pauses as a listener hears them: the program with the real
// engine (libeci.so on espeak-ng) and encoder (liblame_enc.so), its MP3 file
// decoded with libmpg123 and searched for silences.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "plugins/lame/mp3_frames.h"
#include "run_program.h"

namespace {

struct TSilence {
  double start, length;  // seconds
};

// Runs of at least six 10 ms windows whose samples all stay below 300,
// between the first and the last sound (shorter gaps are the stops of
// consonants).
std::vector<TSilence> InnerSilences(const DecodedAudio& audio) {
  const size_t window = static_cast<size_t>(audio.rate / 100);
  std::vector<bool> quiet;
  for (size_t at = 0; at + window <= audio.samples.size(); at += window) {
    bool silent = true;
    for (size_t i = at; i < at + window; ++i) silent = silent && std::abs(audio.samples[i]) < 300;
    quiet.push_back(silent);
  }
  std::vector<TSilence> silences;
  size_t first = 0, last = quiet.size();
  while (first < last && quiet[first]) ++first;
  while (last > first && quiet[last - 1]) --last;
  for (size_t i = first; i < last;) {
    size_t j = i;
    while (j < last && quiet[j]) ++j;
    if (j - i >= 6) silences.push_back({i / 100.0, (j - i) / 100.0});
    i = j > i ? j : i + 1;
  }
  return silences;
}

std::vector<TSilence> Speak(const std::string& option) {
  ProgramFolder folder(false);
  folder.Write("narravox.INI", std::string("[Narravox]\r\nECIDLL=") + ECI_LIBRARY + "\r\nMP3DLL=" +
                                   LAME_ENC_LIBRARY + "\r\nD=out\r\nTI=N\r\nPC=0\r\n");
  folder.Write("cap.txt",
               "Capitolo primo\n\n"
               "Era una notte buia e tempestosa, e il vento\n"
               "soffiava forte tra gli alberi del bosco.\n");
  RunResult run = folder.Run({"/VB=0", option, "cap.txt"});
  EXPECT_EQ(run.exitCode, 0) << run.output;
  std::string mp3 = folder.Read("out/cap/001.mp3");
  DecodedAudio audio = decodeMp3(std::vector<std::uint8_t>(mp3.begin(), mp3.end()));
  EXPECT_TRUE(audio.ok);
  EXPECT_GT(audio.samples.size(), static_cast<size_t>(audio.rate));
  return InnerSilences(audio);
}

TEST(ParagraphAudio, AHeadingEndsWithAPauseAndWrappedLinesRunOn) {
  std::vector<TSilence> silences = Speak("/PP=S");
  ASSERT_FALSE(silences.empty());
  // The first silence is the one after the heading.
  double longest = 0;
  for (const TSilence& s : silences) longest = std::max(longest, s.length);
  EXPECT_GE(silences[0].length, 0.35);
  EXPECT_EQ(silences[0].length, longest);
  // Within the paragraph, the line break is spoken as a blank.
  double inParagraph = 0;
  for (size_t i = 1; i < silences.size(); ++i) {
    EXPECT_LE(silences[i].length, 0.25) << "at " << silences[i].start << " s";
    inParagraph = std::max(inParagraph, silences[i].length);
  }

  // Without it the heading runs into the paragraph.
  std::vector<TSilence> plain = Speak("/PP=N");
  double plainLongest = 0;
  for (const TSilence& s : plain) {
    EXPECT_LE(s.length, 0.25) << "at " << s.start << " s";
    plainLongest = std::max(plainLongest, s.length);
  }
  std::printf(
      "[ pauses ] PAUSAPARAGRAFO=S: %.2f s after the heading, at most %.2f s inside the "
      "paragraph; PAUSAPARAGRAFO=N: at most %.2f s anywhere\n",
      silences[0].length, inParagraph, plainLongest);
}

}  // namespace
