// DAISY 2.02 books made with the real engine and encoder, checked with the
// book checker (every MP3 file decoded with libmpg123): an EPUB with
// nested chapters, a text with chapters found in it and one without; and
// runs stopped at random moments by SIGKILL then finished with "/R" give
// the very bytes of one uninterrupted run.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <map>

#include "daisy/daisy_checker.h"
#include "real_runs.h"
#include "run_program.h"
#include "sample_books.h"

namespace {

const std::vector<std::string> kOptions = {"/VB=0", "/FO=D", "/F=1", "/I3=V2", "/V=2", "/BR=32"};

void PrepareBooks(const ProgramFolder& folder) {
  UseRealLibraries(folder);
  folder.Write("viaggi.epub", NestedEpub(40));
  folder.Write("sposi.txt", TextWithChapters(14));
  std::string plain;
  for (int i = 1; i <= 50; ++i)
    plain += "La frase numero " + std::to_string(i) + " non ha capitoli intorno a se'.\n";
  folder.Write("frasi.txt", plain);
}

// The book passes the checker, and its ncc:totalTime is within 0.1 s of
// the decoded lengths of its files; prints the figures.
void ExpectSoundBook(const ProgramFolder& folder, const std::string& name, size_t headings) {
  const daisy_check::TReport report = daisy_check::CheckDaisyBook(folder.File("out/" + name));
  EXPECT_TRUE(report.ok()) << name << ":\n" << report.Text();
  const daisy_check::TSummary& book = report.summary;
  EXPECT_EQ(book.headings.size(), headings) << name;
  EXPECT_LT(std::fabs(book.totalTime - book.audioSeconds), 0.1) << name;
  std::printf("%s: headings %zu depth %d smil %d audio files %d totalTime %.3f s decoded %.3f s\n",
              name.c_str(), book.headings.size(), book.depth, book.smilFiles, book.audioFiles,
              book.totalTime, book.audioSeconds);
}

TEST(RealLibraries, DaisyBooksPassTheCheckerAndResumeToTheSameBytes) {
  const std::vector<std::string> books = {"viaggi.epub", "sposi.txt", "frasi.txt"};
  const std::vector<std::string> args = With(kOptions, books);
  // One file at a time here; the runs stopped below make several at once.
  ProgramFolder reference(false);
  PrepareBooks(reference);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(reference.Run(With(With(kOptions, {"/PA=1"}), books)).exitCode, 0);
  const auto took = std::chrono::steady_clock::now() - start;
  ExpectSoundBook(reference, "viaggi", 7);
  ExpectSoundBook(reference, "sposi", 4);
  ExpectSoundBook(reference, "frasi", 1);
  const std::map<std::string, std::string> expected = Files(reference);
  ASSERT_TRUE(expected.count("out/viaggi/ncc.html"));

  // The runs stopped make two files at once: they last about half as long,
  // and the kills land within them.
  const int half = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count() / 2);
  ExpectResumedRunsGive(expected, PrepareBooks, args, {SIGKILL, SIGKILL, SIGKILL}, half);
}

}  // namespace
