// The fragment being built: a byte buffer with a fill limit that grows in
// 4096-byte steps, one byte beyond the limit kept for a terminating NUL.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TFragmentBuffer {
 public:
  // Allocates fragmentSize + 1024 bytes with a fill limit of one less;
  // raises "Memoria insufficiente" (code 10) when it cannot.
  explicit TFragmentBuffer(int32_t fragmentSize);

  // Appends n bytes, growing the limit by 4096 as often as needed (raises
  // "Memoria insufficiente" with code 11 and the new limit when it cannot).
  void AppendBytes(const char* bytes, int32_t n);
  void AppendText(const std::string& text) {
    AppendBytes(text.data(), static_cast<int32_t>(text.size()));
  }
  void AppendSpace() { AppendBytes(" ", 1); }
  void AppendLineBreak() { AppendBytes("\r\n", 2); }
  // Removes the last byte (a detached punctuation mark replaces a blank).
  void DropLast();
  // Records a paragraph break at the current end of a fragment that ends a
  // line; the fragment's bytes stay as they are. Breaks are kept in order,
  // each at most once.
  void MarkParagraphBreak();
  void Clear();

  int32_t length() const { return length_; }
  int32_t limit() const { return limit_; }
  uint8_t lastAppended() const { return lastAppended_; }
  // The fragment's bytes, followed by a NUL byte.
  char* data() { data_[static_cast<size_t>(length_)] = 0; return data_.data(); }
  std::string text() const { return std::string(data_.data(), static_cast<size_t>(length_)); }
  // The offsets of the paragraph breaks, ascending.
  const std::vector<int32_t>& paragraphBreaks() const { return breaks_; }

 private:
  std::vector<char> data_;
  int32_t limit_ = 0;
  int32_t length_ = 0;
  uint8_t lastAppended_ = 0;
  std::vector<int32_t> breaks_;
};
