// Files that are not texts: programs, images, sound, archives and word
// processor documents, told by the signature of their first bytes or by the
// control bytes they are full of. They are refused before anything is spoken.
#pragma once

#include <string>

struct TNonText {
  bool refused = false;
  bool document = false;  // a document that can be saved as text (PDF, EPUB ...)
  std::string kind;       // what it is, in Italian ("programma", "PDF" ...)
};

// A file is refused when it begins with a known binary signature, or when
// more than 1 byte in 100, and more than 3 bytes, are control bytes other
// than TAB, LF, FF, CR and 0x1A (the DOS end-of-file mark): a text with a
// few NUL bytes is still a text.
TNonText RecogniseNonText(const std::string& content);

// The Italian "* ERRORE" line for a refused file.
std::string NonTextMessage(const std::string& path, const TNonText& what);
