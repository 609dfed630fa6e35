// Times the synthesis of an Italian text through libeci.so (callback mode,
// every buffer answered at once) against the espeak-ng command writing a
// WAV file of the same text, and prints the ratio.
//
//   eci_synthesis_bench [runs]
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "eci_library.h"
#include "narravox/eci_api.h"

namespace {

using Clock = std::chrono::steady_clock;

using Engine = EciLibrary;

int64_t g_samples = 0;

int32_t ECI_CALL AnswerAtOnce(ECIHand, int32_t, int32_t samples, void *) {
    g_samples += samples;
    return ECI_DATA_PROCESSED;
}

// The file is UTF-8; the engine takes Windows-1252 (the text uses no
// character outside Latin-1 except the guillemets, which are Latin-1 too).
std::string Utf8ToLatin1(const std::string &in) {
    std::string out;
    for (size_t i = 0; i < in.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(in[i]);
        if (c >= 0xC0 && c < 0xE0 && i + 1 < in.size()) {
            out += static_cast<char>(((c & 0x1F) << 6) | (in[++i] & 0x3F));
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Median seconds of the library synthesising the text at one rate code.
double TimeLibrary(const Engine &eci, const std::string &text, int32_t rate_code, int rate_hz,
                   int runs) {
    ECIHand h = eci.New();
    if (!h) {
        std::fprintf(stderr, "eciNew failed\n");
        std::exit(1);
    }
    eci.SetParam(h, ECI_PARAM_DIALECT, ECI_DIALECT_ITALIAN);
    eci.SetParam(h, ECI_PARAM_SAMPLE_RATE, rate_code);
    // About 30 seconds, a whole number of 576-sample encoder chunks, as the
    // program sizes its buffer.
    std::vector<int16_t> buffer(static_cast<size_t>(rate_hz * 30 / 576 * 576));
    eci.RegisterCallback(h, AnswerAtOnce, nullptr);
    eci.SetOutputBuffer(h, static_cast<int32_t>(buffer.size()), buffer.data());
    std::vector<double> times;
    for (int i = 0; i <= runs; ++i) {  // the first run warms up
        g_samples = 0;
        auto start = Clock::now();
        eci.AddText(h, text.c_str());
        eci.Synthesize(h);
        if (!eci.Synchronize(h)) {
            std::fprintf(stderr, "eciSynchronize failed\n");
            std::exit(1);
        }
        double s = std::chrono::duration<double>(Clock::now() - start).count();
        if (i > 0) times.push_back(s);
    }
    std::printf("  libeci.so at %5d Hz: %.3f s median of %d (%.1f s of speech)\n", rate_hz,
                Median(times), runs, double(g_samples) / rate_hz);
    return Median(times);
}

double TimeCommand(const std::string &command, int runs) {
    std::vector<double> times;
    for (int i = 0; i <= runs; ++i) {
        auto start = Clock::now();
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "failed: %s\n", command.c_str());
            std::exit(1);
        }
        double s = std::chrono::duration<double>(Clock::now() - start).count();
        if (i > 0) times.push_back(s);
    }
    return Median(times);
}

}  // namespace

int main(int argc, char **argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    std::ifstream in(BENCH_TEXT);
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string utf8 = ss.str();
    if (utf8.empty()) {
        std::fprintf(stderr, "cannot read %s\n", BENCH_TEXT);
        return 1;
    }
    const EciLibrary &eci = EciLibrary::Get(ECI_LIBRARY_PATH);
    if (!eci.Complete()) {
        std::fprintf(stderr, "cannot load %s\n", ECI_LIBRARY_PATH);
        return 1;
    }
    const std::string text = Utf8ToLatin1(utf8);
    std::printf("Text: %s (%zu bytes), median of %d runs after one warm-up\n", BENCH_TEXT,
                utf8.size(), runs);

    const double lib22050 = TimeLibrary(eci, text, ECI_RATE_22050, 22050, runs);
    const double lib11025 = TimeLibrary(eci, text, ECI_RATE_11025, 11025, runs);

    const std::string wav = "/tmp/narravox_bench_" + std::to_string(std::rand()) + ".wav";
    const std::string command =
        std::string("espeak-ng -v it -w ") + wav + " -f \"" + BENCH_TEXT + "\"";
    const double cli = TimeCommand(command, runs);
    // The command also starts a process and loads espeak-ng's data, which
    // the library does once per process: measure that on a one-word text.
    const double startup = TimeCommand("espeak-ng -v it -w " + wav + " a", runs);
    std::remove(wav.c_str());
    const double cli_synthesis = cli - startup;
    std::printf("  %s: %.3f s median (start-up alone %.3f s, synthesis %.3f s)\n",
                command.c_str(), cli, startup, cli_synthesis);

    std::printf("Ratio library / command (whole command; synthesis only):\n");
    std::printf("  22050 Hz, no resampling: %.2f; %.2f\n", lib22050 / cli,
                lib22050 / cli_synthesis);
    std::printf("  11025 Hz, resampled:     %.2f; %.2f\n", lib11025 / cli,
                lib11025 / cli_synthesis);
    const bool ok = lib22050 <= 1.10 * cli_synthesis && lib11025 <= 1.10 * cli_synthesis;
    std::printf("Target (library at most 10%% slower than the command's synthesis): %s\n",
                ok ? "met" : "NOT met");
    return ok ? 0 : 2;
}
