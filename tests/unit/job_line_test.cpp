// The RecoveryFile's line syntax.
#include <gtest/gtest.h>

#include "base/job_line.h"
#include "test_errors.h"

namespace {

TEST(JobLine, NameNumbersAndFolderAsEarlierVersionsWroteThem) {
  TJobLineFields line = DecodeJobLine("/t/A.TXT::12345::4");
  EXPECT_EQ(line.name, "/t/A.TXT");
  EXPECT_EQ(line.numbers, (std::vector<int32_t>{12345, 4}));
  EXPECT_EQ(line.folder, "");
  EXPECT_EQ(DecodeJobLine("/t/A.TXT::-1::12").numbers, (std::vector<int32_t>{-1, 12}));
  EXPECT_EQ(DecodeJobLine("/d/::16384").numbers, (std::vector<int32_t>{16384}));
  EXPECT_EQ(DecodeJobLine("/t/A.EPUB::0::1::77").numbers, (std::vector<int32_t>{0, 1, 77}));
  EXPECT_EQ(DecodeJobLine("/t/A.TXT").numbers, (std::vector<int32_t>{}));
  EXPECT_EQ(DecodeJobLine("::1::2").name, "");
  line = DecodeJobLine("/t/A.TXT::0::1::>A (2)");
  EXPECT_EQ(line.folder, "A (2)");
  EXPECT_EQ(DecodeJobLine("/t/A.TXT::>A (2)").numbers.size(), 0u);
}

TEST(JobLine, EveryNameComesBackAsItWas) {
  for (const std::string name :
       {"/t/a::b.txt", "/t/riga\nspezzata.txt", "/t/cr\r.txt", "\"/t/virgolette\".txt",
        "/t/fine:", "/t/bar\\ra.txt", ">/t/freccia", "/t/\"::\\n\\\"", ""}) {
    TJobLineFields fields{name, {7, 3}, name.empty() ? "x" : name};
    std::string line = EncodeJobLine(fields);
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    TJobLineFields back = DecodeJobLine(line);
    EXPECT_EQ(back.name, fields.name) << line;
    EXPECT_EQ(back.numbers, fields.numbers) << line;
    EXPECT_EQ(back.folder, fields.folder) << line;
  }
  // A plain name is written as earlier versions wrote it.
  EXPECT_EQ(EncodeJobLine({"/t/A.TXT", {5, 2}, ""}), "/t/A.TXT::5::2");
}

TEST(JobLine, MalformedLinesAreRecoveryFileErrors) {
  for (const char* line : {"a::", "a::x::1", "a::1::", "a::1::2::3::4", "a::2147483648::1", "a:: 1::2",
                           "a::1::4x", "a::-::1", "\"a", "\"a\"b::1", "\"a\\x\"", "a::>",
                           "a::>b::1", "a::>b::>c"}) {
    EXPECT_EQ(ErrorOf([&] { DecodeJobLine(line); }), "Errore nel file di ripristino") << line;
  }
}

}  // namespace
