#include "fake_enc_log.h"

#include <cstdio>

void FakeEncLog::write(const std::string& line) const {
  if (path_.empty()) return;
  std::FILE* file = std::fopen(path_.c_str(), "ab");
  if (file == nullptr) return;
  std::fwrite(line.data(), 1, line.size(), file);
  std::fputc('\n', file);
  std::fclose(file);
}
