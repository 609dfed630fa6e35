// Books that the tests of talking books convert.
#pragma once

#include <string>

// An EPUB whose chapters are nested three deep (parts, chapters, a
// section), the first short and one of about paragraphs x 20 bytes; its
// first page opens with its first chapter; titled "Viaggi & ritorni".
std::string NestedEpub(int paragraphs = 60);

// A plain text whose chapter headings the program finds: a title line and
// three chapters ("CAPITOLO I" ...) of sentences lines each.
std::string TextWithChapters(int sentences);
