#ifndef NARRAVOX_ECI_RESAMPLER_H
#define NARRAVOX_ECI_RESAMPLER_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct soxr;

namespace eci {

// Streaming 16-bit mono sample-rate converter on libsoxr.
class Resampler {
 public:
  Resampler(double input_rate, double output_rate);
  ~Resampler();
  Resampler(const Resampler&) = delete;
  Resampler& operator=(const Resampler&) = delete;

  bool ok() const { return soxr_ != nullptr; }
  const std::string& error() const { return error_; }

  // Appends the converted samples to out; count 0 flushes the tail.
  bool Process(const int16_t* in, size_t count, std::vector<int16_t>& out);

 private:
  soxr* soxr_ = nullptr;
  double ratio_;
  std::string error_;
};

}  // namespace eci

#endif
