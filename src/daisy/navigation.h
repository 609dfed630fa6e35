// The pieces of the navigation files that talking_book.cpp puts together:
// the names and ids that tie them, and each file's text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "daisy/talking_book.h"

namespace daisy {

// For section n (from 1): "s0001.smil", the heading's id in ncc.html
// "h0001", and the SMIL's text and par ids "t0001", "p0001".
std::string SmilName(size_t n);
std::string NumberedId(char letter, size_t n);

// The length of a section's audio: the sum of its clips.
int64_t SectionTime(const TSection& section);

// The SMIL file of section n (from 1); elapsed: the time of the sections
// before it.
std::string SmilFile(const TBookInfo& info, const TSection& section, size_t n,
                     int64_t elapsed);
std::string MasterSmil(const TTalkingBook& book, int64_t total);
// files: every file of the book, ncc.html included; kBytes: their size.
std::string NccFile(const TTalkingBook& book, int64_t total, size_t files, int64_t kBytes);

}  // namespace daisy
