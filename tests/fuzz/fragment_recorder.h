// Records what the fragment loop makes of a text: every non-empty fragment
// and the text position of every checkpoint the conversion would write.
#pragma once

#include <string>
#include <vector>

#include "engine/fragmentation.h"

class TFragmentRecorder : public TFragmentEvents {
 public:
  explicit TFragmentRecorder(const int32_t* textPosition) : textPosition_(textPosition) {}
  void FragmentStart(TFragmentBuffer&, size_t) override {}
  void FragmentEnd(TFragmentBuffer& buffer, bool, bool contentRemains) override {
    if (buffer.length() > 0) {
      fragments.push_back(buffer.text());
      if (contentRemains) checkpoints.push_back(*textPosition_);
    }
    buffer.Clear();
  }
  std::vector<std::string> fragments;
  std::vector<int32_t> checkpoints;

 private:
  const int32_t* textPosition_;
};

// Walks lines from position (0: the start) and records the fragments.
inline TFragmentRecorder Walk(const std::vector<std::string>& lines,
                              const TFragmentSettings& settings, int32_t position) {
  int32_t textPosition = position;
  TFragmentRecorder recorder(&textPosition);
  TFragmentBuffer buffer(settings.fragmentSize);
  RunFragmentLoop(lines, settings, &textPosition, buffer, recorder);
  return recorder;
}
