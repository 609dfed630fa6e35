// Synthesis alone through the engine library, set up as the program sets it
// up (Italian, 11025 Hz, real-world units, the given speaking rate) and fed
// the fragments the program speaks: the text split by the program's own
// fragment loop (16 KB, no titles), read as the program reads it by default
// (engine_text.h: case kept, Italian rules, no dictionary), between the default head and
// tail pauses, each fragment spoken with one eciSynthesize and
// eciSynchronize. The audio is counted and dropped, so
// that bench/run can set the program's time against synthesis without
// encoding or writing.
//
//   synth_lib_bench [--wav OUT.wav] [TEXT [WPM [ENGINE_LIBRARY]]]
//
// TEXT is Windows-1252; WPM defaults to 175, espeak-ng's own rate. With
// --wav the speech is also written to a WAV file (bench/run makes the input
// of enc_lib_bench so, outside its timings). Prints one line: seconds of
// speech, seconds spent, fragments.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/settings.h"
#include "eci_library.h"
#include "engine/engine_text.h"
#include "engine/fragment_buffer.h"
#include "engine/fragmentation.h"
#include "engine/text_loading.h"
#include "platform/charset.h"
#include "text/lines.h"

namespace {

int64_t g_samples = 0;
const int16_t *g_audio = nullptr;
FILE *g_wav = nullptr;
bool g_wav_failed = false;

int32_t ECI_CALL CountAndDrop(ECIHand, int32_t message, int32_t samples, void *) {
    if (message != ECI_MSG_WAVEFORM_BUFFER) return ECI_DATA_PROCESSED;
    g_samples += samples;
    if (g_wav && std::fwrite(g_audio, sizeof(int16_t), size_t(samples), g_wav) != size_t(samples))
        g_wav_failed = true;
    return ECI_DATA_PROCESSED;
}

// A 44-byte header of 16-bit mono PCM at `rate` for `samples` samples.
void WriteWavHeader(FILE *f, uint32_t rate, uint32_t samples) {
    unsigned char h[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                           16, 0, 0, 0, 1, 0, 1, 0};
    auto put32 = [&h](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i) h[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    put32(4, 36 + 2 * samples);
    put32(24, rate);
    put32(28, 2 * rate);
    h[32] = 2;  // block align
    h[34] = 16; // bits per sample
    std::memcpy(h + 36, "data", 4);
    put32(40, 2 * samples);
    std::fwrite(h, 1, sizeof h, f);
}

// Keeps every fragment, as the engine reads it in the program.
class Collector : public TFragmentEvents {
public:
    std::vector<std::string> fragments;
    void FragmentStart(TFragmentBuffer &, size_t) override {}
    void FragmentEnd(TFragmentBuffer &buffer, bool, bool) override {
        if (buffer.length() == 0) return;
        fragments.push_back(EngineText(buffer.text(), dictionary_));
    }

private:
    reading::TUserDictionary dictionary_;
};

bool Check(bool ok, const EciLibrary &eci, ECIHand h, const char *what) {
    if (!ok) std::fprintf(stderr, "%s failed: %s\n", what, eci.Message(h).c_str());
    return ok;
}

}  // namespace

int main(int argc, char **argv) {
    const char *wav_path = nullptr;
    if (argc > 2 && std::strcmp(argv[1], "--wav") == 0) {
        wav_path = argv[2];
        argv += 2;
        argc -= 2;
    }
    const char *text_path = argc > 1 ? argv[1] : BENCH_TEXT;
    const int32_t wpm = argc > 2 ? std::atoi(argv[2]) : 175;
    const char *library = argc > 3 ? argv[3] : ECI_LIBRARY_PATH;
    if (wav_path) {
        g_wav = std::fopen(wav_path, "wb");
        if (!g_wav) {
            std::fprintf(stderr, "cannot create %s\n", wav_path);
            return 1;
        }
        WriteWavHeader(g_wav, 11025, 0);
    }

    const int32_t size = TextFileSize(text_path);
    if (size <= 0) {
        std::fprintf(stderr, "cannot read %s\n", text_path);
        return 1;
    }
    std::string text = LoadText(text_path, size);
    bool oem = false;
    PrepareText(&text, kTextWindows, &oem);
    std::vector<std::string> lines = text::SplitLines(text);
    Collector collector;
    TFragmentBuffer buffer(16384);
    int32_t position = 0;
    RunFragmentLoop(lines, TFragmentSettings(), &position, buffer, collector);

    const EciLibrary &eci = EciLibrary::Get(library);
    if (!eci.Complete()) {
        std::fprintf(stderr, "cannot load %s\n", library);
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    ECIHand h = eci.New();
    if (!h) {
        std::fprintf(stderr, "eciNew failed\n");
        return 1;
    }
    const int rate_hz = 11025;
    bool ok = eci.SetParam(h, ECI_PARAM_DIALECT, ECI_DIALECT_ITALIAN) >= 0 &&
              eci.SetParam(h, ECI_PARAM_SAMPLE_RATE, ECI_RATE_11025) >= 0 &&
              eci.SetParam(h, ECI_PARAM_OPTION_3, 1) >= 0 &&
              eci.SetParam(h, ECI_PARAM_OPTION_10, 0) >= 0 &&
              eci.SetParam(h, ECI_PARAM_REAL_WORLD_UNITS, 1) >= 0 &&
              eci.SetVoiceParam(h, 0, ECI_VOICE_SPEED, wpm) >= 0 &&
              eci.SetVoiceParam(h, 0, ECI_VOICE_VOLUME, 65535) >= 0;
    if (!Check(ok, eci, h, "engine set-up")) return 1;
    // About 30 seconds in whole 576-sample encoder chunks, the program's size.
    std::vector<int16_t> audio(static_cast<size_t>(rate_hz * 30 / 576 * 576));
    g_audio = audio.data();
    eci.RegisterCallback(h, CountAndDrop, nullptr);
    if (!Check(eci.SetOutputBuffer(h, static_cast<int32_t>(audio.size()), audio.data()) != 0,
               eci, h, "eciSetOutputBuffer"))
        return 1;
    const TSettings defaults;
    auto add_pause = [&](const std::string &annotation) {
        return annotation.empty() ||
               (eci.SetParam(h, ECI_PARAM_ANNOTATED_INPUT, 1) >= 0 &&
                eci.AddText(h, annotation.c_str()) != 0 &&
                eci.SetParam(h, ECI_PARAM_ANNOTATED_INPUT, 0) >= 0);
    };
    for (const std::string &fragment : collector.fragments) {
        if (!Check(add_pause(defaults.PAUSATESTA), eci, h, "head pause") ||
            !Check(eci.AddText(h, fragment.c_str()) != 0, eci, h, "eciAddText") ||
            !Check(add_pause(defaults.PAUSACODA), eci, h, "tail pause") ||
            !Check(eci.Synthesize(h) != 0, eci, h, "eciSynthesize") ||
            !Check(eci.Synchronize(h) != 0, eci, h, "eciSynchronize"))
            return 1;
    }
    eci.Delete(h);
    if (g_wav) {
        bool ok = !g_wav_failed && std::fseek(g_wav, 0, SEEK_SET) == 0;
        if (ok) WriteWavHeader(g_wav, rate_hz, uint32_t(g_samples));
        ok = std::fclose(g_wav) == 0 && ok;
        if (!ok) {
            std::fprintf(stderr, "cannot write %s\n", wav_path);
            return 1;
        }
    }
    const double spent =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("speech_seconds=%.1f synth_seconds=%.3f fragments=%zu\n",
                double(g_samples) / rate_hz, spent, collector.fragments.size());
    return 0;
}
