// A small DAISY 2.02 book made by hand for the checker's tests, shaped as
// our program writes them, with real MP3 files of a tone encoded by
// libmp3lame (11025 Hz mono, 48 kbit/s CBR).
#pragma once

#include <map>
#include <string>

struct TToneMp3 {
  std::string bytes;
  int frames = 0;           // audio frames libmp3lame wrote, 576 samples each
  double inputSeconds = 0;  // the samples given to the encoder
};

// infoTag: with the LAME Info frame, which tells decoders the encoder's
// delay and padding so that they drop them.
TToneMp3 EncodeTone(double seconds, bool infoTag = false);

// A fake of the test encoder: frames MPEG-2.5 layer III frame headers at
// 11025 Hz, 48 kbit/s, each followed by filler; with an ID3v2 tag before
// them and an ID3v1 tag after when tags.
std::string FakeMp3(int frames, bool tags);

// ID3v2.3 with a title, and ID3v1, as the program may add around its audio.
std::string Id3v2Tag(const std::string& title);
std::string Id3v1Tag(const std::string& title);

// "00:00:02.130"
std::string ClockText(double seconds);

struct TFixtureBook {
  std::map<std::string, std::string> files;    // name -> bytes
  std::map<std::string, double> audioSeconds;  // each MP3's length as its clip states it

  // Replaces the first from in the file by to; fails the test (and returns
  // false) when from is not there.
  bool Replace(const std::string& file, const std::string& from, const std::string& to);
  void Write(const std::string& folder) const;
};

// ncc.html ("Il libro": the title, "Capitolo 1", h2 "Sezione 1.1"), one
// SMIL file for each heading, master.smil, and 001.mp3 ... 004.mp3: the
// second heading reads two files in a seq, 002.mp3 carries ID3 tags.
// kByteSize is worked out for these very bytes.
TFixtureBook MakeValidBook();

// Works ncc:kByteSize out again after the files changed.
void UpdateByteSize(TFixtureBook& book);
