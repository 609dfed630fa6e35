// The RecoveryFile's line syntax.
#include <gtest/gtest.h>

#include "base/run_state.h"
#include "test_errors.h"

namespace {

TEST(SplitJobLine, TextAndUpToTwoNumbers) {
  int32_t a = 7, b = 9;
  EXPECT_EQ(SplitJobLine("/t/A.TXT", &a, &b), "/t/A.TXT");
  EXPECT_EQ(a, 7);
  EXPECT_EQ(b, 9);
  EXPECT_EQ(SplitJobLine("/t/A.TXT::12345::4", &a, &b), "/t/A.TXT");
  EXPECT_EQ(a, 12345);
  EXPECT_EQ(b, 4);
  EXPECT_EQ(SplitJobLine("/t/A.TXT::-1::12", &a, &b), "/t/A.TXT");
  EXPECT_EQ(a, -1);
  EXPECT_EQ(b, 12);
  b = 9;
  EXPECT_EQ(SplitJobLine("/d/::16384", &a, &b), "/d/");
  EXPECT_EQ(a, 16384);
  EXPECT_EQ(b, 9);
  EXPECT_EQ(SplitJobLine("::1::2", &a, &b), "");
}

TEST(SplitJobLine, MalformedNumbersAreRecoveryFileErrors) {
  for (const char* line : {"a::", "a::x::1", "a::1::", "a::1::2::3", "a::2147483648::1", "a:: 1::2",
                           "a::1::4x", "a::-::1"}) {
    int32_t a = 0, b = 0;
    EXPECT_EQ(ErrorOf([&] { SplitJobLine(line, &a, &b); }), "Errore nel file di ripristino")
        << line;
  }
}

}  // namespace
