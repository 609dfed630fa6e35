// ZIP archives made in memory for the readers' tests, with libzip.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct TZipEntry {
  std::string name;
  std::string content;
  bool stored = false;  // not compressed (an EPUB's mimetype must be)
};

// The archive's bytes, its entries in the order given.
std::string MakeZip(const std::vector<TZipEntry>& entries);
