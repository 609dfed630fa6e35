// Encoding alone through the encoder library, configured as the program
// configures it (mono, constant 48 kbit/s, input rate = output rate): reads a
// 16-bit mono WAV file in buffers of about 30 seconds, passes each in the
// library's chunks and writes the MP3 bytes to a file, so that bench/run can
// set the program's time against encoding without synthesis.
//
//   enc_lib_bench WAV MP3 [ENCODER_LIBRARY]
//
// Prints one line: seconds of audio, seconds spent, MP3 bytes.
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "narravox/bladeenc_api.h"

namespace {

struct Encoder {
    BEINITSTREAM init = nullptr;
    BEENCODECHUNK encode = nullptr;
    BEDEINITSTREAM deinit = nullptr;
    BECLOSESTREAM close = nullptr;

    bool Load(const char *path) {
        void *lib = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (!lib) return false;
        init = reinterpret_cast<BEINITSTREAM>(dlsym(lib, "beInitStream"));
        encode = reinterpret_cast<BEENCODECHUNK>(dlsym(lib, "beEncodeChunk"));
        deinit = reinterpret_cast<BEDEINITSTREAM>(dlsym(lib, "beDeinitStream"));
        close = reinterpret_cast<BECLOSESTREAM>(dlsym(lib, "beCloseStream"));
        return init && encode && deinit && close;
    }
};

uint32_t Le32(const unsigned char *p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const unsigned char *p) { return uint16_t(p[0] | p[1] << 8); }

// Leaves `wav` at the first sample of the data chunk and returns the sample
// rate; 0 when the file is not 16-bit mono PCM. `samples` gets the length the
// header gives (a streamed file may give none: then read to the end).
uint32_t OpenWav(FILE *wav, uint64_t &samples) {
    unsigned char riff[12];
    if (std::fread(riff, 1, 12, wav) != 12 || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "WAVE", 4) != 0)
        return 0;
    uint32_t rate = 0;
    for (;;) {
        unsigned char head[8];
        if (std::fread(head, 1, 8, wav) != 8) return 0;
        const uint32_t size = Le32(head + 4);
        if (std::memcmp(head, "fmt ", 4) == 0) {
            unsigned char fmt[16];
            if (size < 16 || std::fread(fmt, 1, 16, wav) != 16) return 0;
            const uint16_t tag = Le16(fmt), channels = Le16(fmt + 2), bits = Le16(fmt + 14);
            if ((tag != 1 && tag != 0xFFFE) || channels != 1 || bits != 16) return 0;
            rate = Le32(fmt + 4);
            if (std::fseek(wav, long(size - 16 + (size & 1)), SEEK_CUR) != 0) return 0;
        } else if (std::memcmp(head, "data", 4) == 0) {
            samples = (size == 0 || size == 0xFFFFFFFFu) ? UINT64_MAX : size / 2;
            return rate;
        } else if (std::fseek(wav, long(size + (size & 1)), SEEK_CUR) != 0) {
            return 0;
        }
    }
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: enc_lib_bench WAV MP3 [ENCODER_LIBRARY]\n");
        return 2;
    }
    const char *library = argc > 3 ? argv[3] : ENCODER_LIBRARY_PATH;
    Encoder lib;
    if (!lib.Load(library)) {
        std::fprintf(stderr, "cannot load %s\n", library);
        return 1;
    }
    FILE *wav = std::fopen(argv[1], "rb");
    uint64_t remaining = 0;
    const uint32_t rate = wav ? OpenWav(wav, remaining) : 0;
    if (rate == 0) {
        std::fprintf(stderr, "%s: not a 16-bit mono WAV file\n", argv[1]);
        return 1;
    }
    FILE *mp3 = std::fopen(argv[2], "wb");
    if (!mp3) {
        std::fprintf(stderr, "cannot create %s\n", argv[2]);
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();

    BE_CONFIG config;
    std::memset(&config, 0, sizeof config);
    config.dwConfig = BE_CONFIG_LAME;
    config.dwStructVersion = BE_CONFIG_VERSION;
    config.dwStructSize = BE_CONFIG_SIZE;
    config.dwSampleRate = config.dwReSampleRate = rate;
    config.nMode = BE_MP3_MODE_MONO;
    config.dwBitrate = 48;
    config.bOriginal = -1;
    uint32_t chunk = 0, min_output = 0;
    HBE_STREAM stream = 0;
    if (lib.init(&config, &chunk, &min_output, &stream) != BE_ERR_SUCCESSFUL || chunk == 0) {
        std::fprintf(stderr, "beInitStream failed\n");
        return 1;
    }
    std::vector<int16_t> buffer(rate * 30 / chunk * chunk);
    std::vector<uint8_t> out(min_output);
    uint64_t samples = 0, bytes = 0;
    bool ok = true;
    while (ok && remaining > 0) {
        const size_t want = size_t(std::min<uint64_t>(buffer.size(), remaining));
        const size_t got = std::fread(buffer.data(), sizeof(int16_t), want, wav);
        if (got == 0) break;
        remaining -= got;
        samples += got;
        for (size_t at = 0; ok && at < got; at += chunk) {
            const uint32_t n = uint32_t(std::min<size_t>(chunk, got - at));
            uint32_t produced = 0;
            ok = lib.encode(stream, n, buffer.data() + at, out.data(), &produced) ==
                     BE_ERR_SUCCESSFUL &&
                 std::fwrite(out.data(), 1, produced, mp3) == produced;
            bytes += produced;
        }
    }
    uint32_t produced = 0;
    ok = ok && lib.deinit(stream, out.data(), &produced) == BE_ERR_SUCCESSFUL &&
         std::fwrite(out.data(), 1, produced, mp3) == produced;
    bytes += produced;
    lib.close(stream);
    ok = std::fclose(mp3) == 0 && ok;
    std::fclose(wav);
    if (!ok) {
        std::fprintf(stderr, "encoding failed\n");
        return 1;
    }
    const double spent =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("audio_seconds=%.1f encode_seconds=%.3f mp3_bytes=%llu\n", double(samples) / rate,
                spent, static_cast<unsigned long long>(bytes));
    return 0;
}
