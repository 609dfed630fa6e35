// The four exported entry points of liblame_enc.so.  They turn handles into
// streams and C++ failures into result codes; the encoding itself is
// LameStream's.
#include "lame_stream.h"
#include "narravox/bladeenc_api.h"
#include "stream_table.h"

#include <exception>
#include <new>

namespace {

// Far more streams than the program keeps open (one at a time).
constexpr std::size_t kMaxStreams = 64;

StreamTable<LameStream>& streams() {
  static StreamTable<LameStream> table(kMaxStreams);
  return table;
}

template <typename Call>
BE_ERR guarded(Call call) {
  try {
    return call();
  } catch (const std::bad_alloc&) {
    return BE_ERR_NO_MORE_HANDLES;
  } catch (...) {
    return BE_ERR_INVALID_FORMAT_PARAMETERS;
  }
}

}  // namespace

extern "C" {

BE_EXPORT BE_ERR BE_CALL beInitStream(BE_CONFIG* config, uint32_t* samplesPerChunk,
                                      uint32_t* minOutputBytes, HBE_STREAM* stream) {
  return guarded([&]() -> BE_ERR {
    if (config == nullptr || samplesPerChunk == nullptr || minOutputBytes == nullptr ||
        stream == nullptr)
      return BE_ERR_INVALID_FORMAT_PARAMETERS;
    std::unique_ptr<LameStream> opened;
    const BE_ERR result = LameStream::open(*config, opened);
    if (result != BE_ERR_SUCCESSFUL) return result;
    const uint32_t chunk = opened->samplesPerChunk();
    const uint32_t minOutput = opened->minOutputBytes();
    const HBE_STREAM handle = streams().add(std::shared_ptr<LameStream>(std::move(opened)));
    if (handle == 0) return BE_ERR_NO_MORE_HANDLES;
    *samplesPerChunk = chunk;
    *minOutputBytes = minOutput;
    *stream = handle;
    return BE_ERR_SUCCESSFUL;
  });
}

BE_EXPORT BE_ERR BE_CALL beEncodeChunk(HBE_STREAM stream, uint32_t nSamples, const int16_t* samples,
                                       uint8_t* output, uint32_t* outputBytes) {
  return guarded([&]() -> BE_ERR {
    const std::shared_ptr<LameStream> found = streams().find(stream);
    if (!found) return BE_ERR_INVALID_HANDLE;
    return found->encode(samples, nSamples, output, outputBytes);
  });
}

BE_EXPORT BE_ERR BE_CALL beDeinitStream(HBE_STREAM stream, uint8_t* output, uint32_t* outputBytes) {
  return guarded([&]() -> BE_ERR {
    const std::shared_ptr<LameStream> found = streams().find(stream);
    if (!found) return BE_ERR_INVALID_HANDLE;
    return found->flush(output, outputBytes);
  });
}

BE_EXPORT BE_ERR BE_CALL beCloseStream(HBE_STREAM stream) {
  return guarded([&]() -> BE_ERR {
    // The stream itself goes when the last call still using it returns.
    return streams().remove(stream) ? BE_ERR_SUCCESSFUL : BE_ERR_INVALID_HANDLE;
  });
}

}  // extern "C"
