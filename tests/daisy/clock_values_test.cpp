// SMIL 1.0 clock values and npt clip times.
#include <gtest/gtest.h>

#include "daisy/daisy_checker.h"

using daisy_check::ParseClipValue;
using daisy_check::ParseClockValue;

TEST(ClockValues, TheSmilFormsAreRead) {
  const struct {
    const char* text;
    double seconds, resolution;
  } cases[] = {{"00:00:02.130", 2.13, 0.001},
               {"1:02:03.5", 3723.5, 0.1},
               {"0:00:05", 5, 1},
               {"123:00:00", 442800, 1},
               {"02:03", 123, 1},
               {"59:59.25", 3599.25, 0.01},
               {"12.3s", 12.3, 0.1},
               {"1.306s", 1.306, 0.001},
               {"12", 12, 1},
               {"250ms", 0.25, 0.001},
               {"1.5min", 90, 6},
               {"0.5h", 1800, 360},
               {" 4s ", 4, 1}};
  for (const auto& c : cases) {
    const auto clock = ParseClockValue(c.text);
    ASSERT_TRUE(clock) << c.text;
    EXPECT_NEAR(clock->seconds, c.seconds, 1e-9) << c.text;
    EXPECT_NEAR(clock->resolution, c.resolution, 1e-9) << c.text;
  }
}

TEST(ClockValues, OtherTextsAreRefused) {
  for (const char* text : {"", "abc", "1:2:03", "00:60:00", "00:00:60", "1:02:03:04", "2:3", "12.s",
                           ".5s", "12 s", "12sec", "-1s", "1:02.5.3", "1,5s", "npt=1s"}) {
    EXPECT_FALSE(ParseClockValue(text)) << text;
  }
}

TEST(ClockValues, ClipTimesAreNptClockValues) {
  EXPECT_NEAR(ParseClipValue("npt=12.345s")->seconds, 12.345, 1e-9);
  EXPECT_NEAR(ParseClipValue("npt=1:02:03.5")->seconds, 3723.5, 1e-9);
  EXPECT_NEAR(ParseClipValue("npt=0.000s")->seconds, 0, 1e-9);
  for (const char* text : {"12.3s", "npt=", "npt=x", "smpte=00:00:01:00", "NPT=1s"}) {
    EXPECT_FALSE(ParseClipValue(text)) << text;
  }
}
