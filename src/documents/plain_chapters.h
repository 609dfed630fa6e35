// Chapter headings in a plain text: the lines that start chapters
// ("CAPITOLO PRIMO", "Capitolo 1", "I.", "PARTE SECONDA", "Libro terzo", a
// short title line between blank lines followed by prose ...), found in its
// lines as the conversion has them (Windows-1252 bytes).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace documents {

struct TPlainHeading {
  size_t line = 0;    // the heading's line index
  size_t lines = 1;   // how many lines it takes ("CAPITOLO I" then its title)
  int level = 1;      // 1; 2 for the chapters below PARTE / LIBRO when both occur
  std::string title;  // its lines joined with ". " (a title wrapped onto the next
                      // line joined with a space), blanks collapsed
};

// The chapter headings of the text, in order. A text without a
// recognisable structure gives none.
std::vector<TPlainHeading> FindPlainHeadings(const std::vector<std::string>& lines);

}  // namespace documents
