// The syntax of the RecoveryFile's lines after the first: a name, up to three
// numbers and, for a text whose folder is not named after it, that folder:
//   name[::n1[::n2[::n3]]][::>folder]
// A name or folder that holds "::", a line break, a final ':' or a leading
// '"' is written between double quotes, with \" \\ \r \n for those
// characters, so that every name a system allows comes back as it was.
// Lines of earlier versions, whose names are never quoted, read the same.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TJobLineFields {
  std::string name;
  std::vector<int32_t> numbers;  // none, one, two or three
  std::string folder;            // empty when the line names none
};

std::string EncodeJobLine(const TJobLineFields& fields);

// Raises the RecoveryFile error ("Errore nel file di ripristino") for a
// line that does not follow the syntax.
TJobLineFields DecodeJobLine(const std::string& line);
