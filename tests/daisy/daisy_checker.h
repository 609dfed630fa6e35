// A checker of DAISY 2.02 talking books, for the tests: it reads a book's
// folder (ncc.html, its SMIL files, master.smil, the audio files) and reports
// what breaks the rules of the DAISY 2.02 specification, of SMIL 1.0 and
// XHTML 1.0, and ours (file names that players on FAT cards can open).
//
//   daisy_check::TReport report = daisy_check::CheckDaisyBook(folder);
//   EXPECT_TRUE(report.ok()) << report.Text();
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace daisy_check {

struct TOptions {
  // true: each audio file's real duration is decoded with libmpg123 (all
  // samples counted). false: the audio files are fakes made by a test
  // encoder: their duration is taken from their MPEG frame headers
  // (frames x samples per frame / rate) without decoding.
  bool decodeAudio = true;
};

struct THeading {
  int level = 0;      // 1 to 6
  std::string id;     // the heading's id in ncc.html
  std::string title;  // its text
  std::string smil;   // the SMIL file its link points into ("s0001.smil")
};

struct TSummary {
  std::vector<THeading> headings;           // in ncc.html's order
  int depth = 0;                            // the deepest heading level found
  int smilFiles = 0;                        // SMIL files referenced by ncc.html
  int audioFiles = 0;                       // audio files referenced by them
  double totalTime = 0;                     // ncc:totalTime, seconds
  double clipSeconds = 0;                   // sum of all clips
  double audioSeconds = 0;                  // sum of the real durations of the audio files
  std::map<std::string, std::string> meta;  // ncc.html's metadata by name (first of each)
};

struct TReport {
  // Plain English sentences, each naming the file and what is wrong; a
  // fault met many times is reported a few times and then counted.
  std::vector<std::string> problems;
  TSummary summary;

  bool ok() const { return problems.empty(); }
  // The problems, one a line, then the summary line:
  // "headings 3 depth 2 smil 3 audio 4 totalTime 2.130 s clips 2.130 s audio 2.130 s".
  std::string Text() const;
  std::string SummaryLine() const;
};

TReport CheckDaisyBook(const std::string& folder, const TOptions& options = {});

// A SMIL 1.0 clock value: "1:02:03.5" (full clock), "02:03.25" (partial
// clock: minutes and seconds, two digits each), or a timecount with an
// optional unit, "12.3s", "250ms", "1.5min", "0.5h", "12" (seconds).
// resolution is the unit of the value's last digit in seconds (0.001 for
// "00:00:02.130", 1 for "0:00:02"): how finely it was written.
struct TClock {
  double seconds = 0;
  double resolution = 1;
};
std::optional<TClock> ParseClockValue(const std::string& text);
// A clip-begin or clip-end value: "npt=" followed by a clock value.
std::optional<TClock> ParseClipValue(const std::string& text);

// The duration in seconds of an MPEG audio file, as TOptions::decodeAudio
// chooses; nullopt (with the reason in *error) when it cannot be measured.
std::optional<double> AudioFileSeconds(const std::string& path, const TOptions& options,
                                       std::string* error = nullptr);

}  // namespace daisy_check
