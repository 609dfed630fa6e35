#include "resampler.h"

#include <soxr.h>

namespace eci {

Resampler::Resampler(double input_rate, double output_rate) : ratio_(output_rate / input_rate) {
  soxr_io_spec_t io = soxr_io_spec(SOXR_INT16_I, SOXR_INT16_I);
  io.flags |= SOXR_NO_DITHER;  // silence must stay exact zeros
  soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
  soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
  soxr_error_t err = nullptr;
  soxr_ = soxr_create(input_rate, output_rate, 1, &err, &io, &quality, &runtime);
  if (err) {
    error_ = err;
    if (soxr_) soxr_delete(soxr_);
    soxr_ = nullptr;
  }
}

Resampler::~Resampler() {
  if (soxr_) soxr_delete(soxr_);
}

bool Resampler::Process(const int16_t* in, size_t count, std::vector<int16_t>& out) {
  if (!soxr_) return false;
  const bool flush = count == 0;
  size_t room = static_cast<size_t>(count * ratio_) + 64;
  for (;;) {
    size_t start = out.size();
    out.resize(start + room);
    size_t used = 0, produced = 0;
    soxr_error_t err = soxr_process(soxr_, flush ? nullptr : in, count, &used, out.data() + start,
                                    room, &produced);
    out.resize(start + produced);
    if (err) {
      error_ = err;
      return false;
    }
    in += used;
    count -= used;
    // A flush is complete once soxr leaves room unused; input is complete
    // once all of it has been taken.
    if (flush ? produced < room : count == 0) return true;
    if (!flush && used == 0 && produced == 0) return true;
    if (flush) room = 4096;
  }
}

}  // namespace eci
