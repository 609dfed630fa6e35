#ifndef NARRAVOX_ECI_ANNOTATED_TEXT_H
#define NARRAVOX_ECI_ANNOTATED_TEXT_H

#include <cstdint>
#include <string>
#include <vector>

namespace eci {

// One piece of queued speech: UTF-8 text, or a pause.
struct Segment {
  std::string text;           // UTF-8; empty for a pause
  int64_t pause_half_ms = 0;  // length of a pause in half milliseconds
  bool IsPause() const { return text.empty(); }
};

// Appends Windows-1252 text to the queue. With annotations on, "`p" and
// digits N become a pause of N/2 ms, any other annotation ("`" followed by
// letters and an optional signed number) is dropped, and a "`" that starts
// no annotation is dropped too. With annotations off, text goes in as is.
// Adjacent texts are joined so that the synthesiser sees whole sentences.
void AppendText(const char* text, bool annotated, std::vector<Segment>& queue);

}  // namespace eci

#endif
