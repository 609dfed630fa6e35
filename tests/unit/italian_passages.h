// Passages of Italian books in the public domain, in UTF-8 with their
// typography (dialogue dashes, ellipses, curly apostrophes and quotes), for
// the tests of text recognition. Sources in italian_passages.cpp.
#pragma once

#include <string>
#include <vector>

struct TPassage {
  const char* name;
  std::string text;
};

const std::vector<TPassage>& ItalianPassages();
