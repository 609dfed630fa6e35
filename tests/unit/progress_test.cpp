// The progress display: durations, percentages and the time left.
#include <gtest/gtest.h>

#include "engine/progress.h"

namespace {

TEST(FormatDuration, PartsThatAreZeroAreLeftOut) {
  EXPECT_EQ(FormatDuration(0), "0s");
  EXPECT_EQ(FormatDuration(3723000), "1h2m3s");
  EXPECT_EQ(FormatDuration(60000), "1m");
  EXPECT_EQ(FormatDuration(3600999), "1h");
  EXPECT_EQ(FormatDuration(7201000), "2h1s");
  EXPECT_EQ(FormatDuration(999), "");
  EXPECT_EQ(FormatDuration(-5000), "");
  EXPECT_EQ(FormatDuration(INT32_MAX), "596h31m23s");
}

TEST(Progress, StartMiddleAndEnd) {
  TProgress p;
  p.StartTicks = 1000;
  p.TotalBytes = 1000;
  p.Update(5000);
  EXPECT_EQ(p.ProgressText, "0% ?");
  EXPECT_EQ(p.Prefix(), "0s 0% ?: ");

  p.DoneBytes = 250;  // a quarter in 60 s: 180 s to go
  p.Update(61000);
  EXPECT_EQ(p.ElapsedMs, 60000);
  EXPECT_EQ(p.Prefix(), "1m 25% 3m: ");

  // A new text starts before more is done: the elapsed time stays.
  p.DoneBytes = 0;
  p.Update(90000);
  EXPECT_EQ(p.Prefix(), "1m 0% ?: ");

  // The end shows the elapsed time of the last update with work done.
  p.DoneBytes = -1;
  p.Update(500000);
  EXPECT_EQ(p.Prefix(), "1m 100% 1m: ");

  TProgress never;
  never.DoneBytes = -1;
  never.Update(12345);
  EXPECT_EQ(never.Prefix(), "0s 100% 0s: ");
}

TEST(Progress, RoundingOverrunAndOddCounters) {
  TProgress p;
  p.TotalBytes = 1000;
  p.DoneBytes = 125;  // 12.5% shows as 12, 13.5% as 14
  p.Update(1000);
  EXPECT_EQ(p.ProgressText.substr(0, 4), "12% ");
  p.DoneBytes = 135;
  p.Update(1000);
  EXPECT_EQ(p.ProgressText.substr(0, 4), "14% ");

  // More done than measured (a text grew) is all of it, never above 100%.
  p.DoneBytes = 1020;
  p.Update(45000);
  EXPECT_EQ(p.Prefix(), "45s 100% 0s: ");
  EXPECT_EQ(p.Words(), "100 %");

  // Less than a second left is empty; none left is "0s".
  p.DoneBytes = 999;
  p.Update(100000);
  EXPECT_EQ(p.ProgressText, "100% ");
  p.DoneBytes = 1000;
  p.Update(100000);
  EXPECT_EQ(p.ProgressText, "100% 0s");

  // The tick counter wrapped since the start.
  p.StartTicks = 0xFFFFF000u;
  p.DoneBytes = 500;
  p.Update(0x1000);
  EXPECT_EQ(p.ElapsedMs, 0x2000);

  // Almost nothing done after a long time: the estimate is clamped.
  p.StartTicks = 0;
  p.TotalBytes = INT32_MAX;
  p.DoneBytes = 1;
  p.Update(3600000);
  EXPECT_EQ(p.ProgressText, "0% 596h31m23s");

  // Texts that shrank to nothing after they were measured.
  p.TotalBytes = 0;
  p.DoneBytes = 10;
  p.Update(7000);
  EXPECT_EQ(p.Prefix(), "7s 100% : ");
}

TEST(Progress, InWordsForAScreenReader) {
  TProgress p;
  p.StartTicks = 0;
  p.TotalBytes = 1000;
  p.Update(5000);
  EXPECT_EQ(p.Words(), "0 %");  // no estimate before anything is done
  p.DoneBytes = 250;
  p.Update(60000);
  EXPECT_EQ(p.Words(), "25 %, mancano circa 3 minuti");
  p.DoneBytes = 999;
  p.Update(60000);
  EXPECT_EQ(p.Words(), "100 %");
  p.DoneBytes = 1500;
  p.Update(60000);
  EXPECT_EQ(p.Words(), "100 %");
}

TEST(Durations, WordsAndTheAgreementOfTheVerb) {
  EXPECT_EQ(DurationInWords(0), "meno di un secondo");
  EXPECT_EQ(DurationInWords(1000), "1 secondo");
  EXPECT_EQ(DurationInWords(61000), "1 minuto e 1 secondo");
  EXPECT_EQ(DurationInWords(3723000), "1 ora, 2 minuti e 3 secondi");
  EXPECT_EQ(DurationInWords(7200000), "2 ore");
  EXPECT_EQ(RemainingInWords(400), "manca meno di un secondo");
  EXPECT_EQ(RemainingInWords(1000), "manca circa 1 secondo");
  EXPECT_EQ(RemainingInWords(47400), "mancano circa 47 secondi");
  EXPECT_EQ(RemainingInWords(89000), "manca circa 1 minuto");
  EXPECT_EQ(RemainingInWords(91000), "mancano circa 2 minuti");
  EXPECT_EQ(RemainingInWords(3600000), "manca circa 1 ora");
  EXPECT_EQ(RemainingInWords(3900000), "mancano circa 1 ora e 5 minuti");
  EXPECT_EQ(RemainingInWords(INT32_MAX), "mancano circa 596 ore e 31 minuti");
}

}  // namespace
