// What the fake encoder is told by its environment (see fake_lame_enc.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// "Make the n-th call of this entry point return this code."
struct FakeEncFailRule {
  std::string entry;
  std::uint32_t call = 0;  // 1 for the first call
  std::uint32_t result = 0;
};

struct FakeEncSettings {
  std::string logPath;  // empty: no log
  std::uint32_t samplesPerChunk = 576;
  std::uint32_t minOutputBytes = 7200;
  std::string flushBytes;  // what beDeinitStream writes
  bool mark = false;       // the flush also writes the stream's rates
  bool frames = false;     // each chunk comes out as an MPEG Layer III frame
  std::vector<FakeEncFailRule> failRules;
  std::vector<std::string> problems;  // unreadable values, for the log
};

// Parses "entry:n:code[,entry:n:code...]"; returns false on a malformed rule
// (the well-formed ones are still added).
bool parseFailRules(const std::string& text, std::vector<FakeEncFailRule>& rules);

FakeEncSettings readFakeEncSettings();
