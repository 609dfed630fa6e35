// Times libeci.so on a fragment of the program's default size (about 16 KB
// of Italian text) and on a one-word text, whose time is mostly what every
// synthesis costs besides speaking (with the synthesis process: a fresh
// copy of it and its end; in any case: loading the voice). Optionally
// compares with another build of the library, e.g. an older one.
//
//   eci_fragment_bench [rounds] [other-libeci.so]
//
// Every measurement runs in a new process of this program, libraries
// alternating from round to round. Wall time is measured inside it; CPU
// time is that of the process and of every process it starts (the
// synthesis process and its copies included), counted by the kernel, less
// that of a run that only starts the engine and speaks one word. Reported:
// medians over the rounds, and medians of the differences within a round.
#include <dlfcn.h>
#include <linux/perf_event.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "eci_library.h"
#include "narravox/eci_api.h"

namespace {

using Clock = std::chrono::steady_clock;

const int kWords = 40;      // one-word syntheses per measurement
const int kFragments = 2;   // fragment syntheses per measurement
const char kWord[] = "S\xEC.";

using Engine = EciLibrary;

int32_t ECI_CALL AnswerAtOnce(ECIHand, int32_t, int32_t, void *) { return ECI_DATA_PROCESSED; }

// The file is UTF-8 with Latin-1 letters only; the engine takes
// Windows-1252, as the program hands it.
std::string Utf8ToLatin1(const std::string &in) {
    std::string out;
    for (size_t i = 0; i < in.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(in[i]);
        if (c >= 0xC0 && c < 0xE0 && i + 1 < in.size())
            out += static_cast<char>(((c & 0x1F) << 6) | (in[++i] & 0x3F));
        else
            out += static_cast<char>(c);
    }
    return out;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double Speak(const Engine &eci, ECIHand h, const std::string &text) {
    auto start = Clock::now();
    eci.AddText(h, text.c_str());
    eci.Synthesize(h);
    if (!eci.Synchronize(h)) {
        std::fprintf(stderr, "eciSynchronize failed\n");
        std::exit(1);
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// In a new process: starts the engine, speaks one word, then `count` times
// the word or the fragment at `rate`; prints the median wall time.
int MeasureOnce(const char *path, const std::string &what, int rate, int count,
                const std::string &fragment) {
    const EciLibrary &eci = EciLibrary::Get(path);
    if (!eci.Complete()) {
        std::fprintf(stderr, "cannot load %s\n", path);
        return 1;
    }
    ECIHand h = eci.New();
    if (!h) return 1;
    eci.SetParam(h, ECI_PARAM_DIALECT, ECI_DIALECT_ITALIAN);
    eci.SetParam(h, ECI_PARAM_SAMPLE_RATE, rate == 22050 ? ECI_RATE_22050 : ECI_RATE_11025);
    // About 30 seconds, as the program sizes its buffer.
    std::vector<int16_t> buffer(static_cast<size_t>(rate * 30 / 576 * 576));
    eci.RegisterCallback(h, AnswerAtOnce, nullptr);
    eci.SetOutputBuffer(h, static_cast<int32_t>(buffer.size()), buffer.data());
    Speak(eci, h, kWord);
    std::vector<double> times;
    for (int i = 0; i < count; ++i)
        times.push_back(Speak(eci, h, what == "word" ? std::string(kWord) : fragment));
    eci.Delete(h);
    std::printf("%.6f\n", Median(times));
    return 0;
}

struct Result {
    double wall = 0;  // median seconds per synthesis
    double cpu = 0;   // seconds of the whole run
};

// Runs MeasureOnce in a new process of this program, counting the CPU
// time of it and of every process it starts.
bool Measure(const char *self, const char *path, const char *what, int rate, int count,
             Result &result) {
    int out[2], go[2];
    if (pipe(out) != 0 || pipe(go) != 0) return false;
    pid_t child = fork();
    if (child == 0) {
        char byte;
        close(go[1]);
        if (read(go[0], &byte, 1) != 1) _exit(126);
        dup2(out[1], 1);
        close(out[0]);
        close(out[1]);
        const std::string rate_text = std::to_string(rate), count_text = std::to_string(count);
        execl(self, self, "--once", path, what, rate_text.c_str(), count_text.c_str(),
              static_cast<char *>(nullptr));
        _exit(127);
    }
    close(out[1]);
    close(go[0]);
    perf_event_attr attr{};
    attr.type = PERF_TYPE_SOFTWARE;
    attr.size = sizeof attr;
    attr.config = PERF_COUNT_SW_TASK_CLOCK;
    attr.inherit = 1;
    const int counter =
        static_cast<int>(syscall(SYS_perf_event_open, &attr, child, -1, -1, 0));
    if (write(go[1], "g", 1) != 1) return false;
    close(go[1]);
    std::string line;
    char chunk[256];
    ssize_t n;
    while ((n = read(out[0], chunk, sizeof chunk)) > 0) line.append(chunk, n);
    close(out[0]);
    int status = 0;
    waitpid(child, &status, 0);
    // The synthesis process ends once the program has gone; its time is
    // added to the counter when it exits.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    uint64_t ns = 0;
    if (counter >= 0) {
        if (read(counter, &ns, sizeof ns) != sizeof ns) ns = 0;
        close(counter);
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        std::sscanf(line.c_str(), "%lf", &result.wall) != 1)
        return false;
    result.cpu = counter >= 0 ? ns * 1e-9 : 0;
    return true;
}

// Figures of one library, one entry per round.
struct Figures {
    std::vector<double> frag11025, frag22050, word;  // wall, per synthesis
    std::vector<double> frag_cpu, word_cpu;          // CPU, per synthesis
};

bool MeasureRound(const char *self, const char *path, Figures &f) {
    Result base, words, frag, frag22050;
    if (!Measure(self, path, "word", 11025, 0, base) ||
        !Measure(self, path, "word", 11025, kWords, words) ||
        !Measure(self, path, "fragment", 11025, kFragments, frag) ||
        !Measure(self, path, "fragment", 22050, kFragments, frag22050))
        return false;
    f.word.push_back(words.wall);
    f.frag11025.push_back(frag.wall);
    f.frag22050.push_back(frag22050.wall);
    f.word_cpu.push_back((words.cpu - base.cpu) / kWords);
    f.frag_cpu.push_back((frag.cpu - base.cpu) / kFragments);
    return true;
}

void Report(const char *name, const Figures &f) {
    std::printf("%s\n", name);
    std::printf("  fragment: %.3f s at 11025 Hz, %.3f s at 22050 Hz; CPU %.3f s at 11025 Hz\n",
                Median(f.frag11025), Median(f.frag22050), Median(f.frag_cpu));
    std::printf("  one word: %.2f ms; CPU %.2f ms\n", Median(f.word) * 1e3,
                Median(f.word_cpu) * 1e3);
}

double PairedMedian(const std::vector<double> &a, const std::vector<double> &b) {
    std::vector<double> d;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) d.push_back(a[i] - b[i]);
    return Median(d);
}

}  // namespace

int main(int argc, char **argv) {
    std::ifstream in(BENCH_FRAGMENT);
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string fragment = Utf8ToLatin1(ss.str());
    if (fragment.empty()) {
        std::fprintf(stderr, "cannot read %s\n", BENCH_FRAGMENT);
        return 1;
    }
    if (argc == 6 && std::strcmp(argv[1], "--once") == 0)
        return MeasureOnce(argv[2], argv[3], std::atoi(argv[4]), std::atoi(argv[5]), fragment);

    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const char *other = argc > 2 ? argv[2] : nullptr;
    std::printf("Fragment: %s (%zu bytes); %d rounds; %d fragments and %d words a "
                "measurement\n",
                BENCH_FRAGMENT, fragment.size(), rounds, kFragments, kWords);
    Figures mine, theirs;
    for (int round = 0; round < rounds; ++round) {
        const bool other_first = other && round % 2 == 1;
        if (other_first && !MeasureRound(argv[0], other, theirs)) return 1;
        if (!MeasureRound(argv[0], ECI_LIBRARY_PATH, mine)) return 1;
        if (other && !other_first && !MeasureRound(argv[0], other, theirs)) return 1;
        std::fprintf(stderr, "round %d done\n", round + 1);
    }
    Report(ECI_LIBRARY_PATH, mine);
    const double frag = Median(mine.frag11025), frag_cpu = Median(mine.frag_cpu);
    std::printf("  one word / fragment: %.2f%% (wall), %.2f%% (CPU)\n",
                100.0 * Median(mine.word) / frag, 100.0 * Median(mine.word_cpu) / frag_cpu);
    if (!other) return 0;
    Report(other, theirs);
    const double word = PairedMedian(mine.word, theirs.word);
    const double word_cpu = PairedMedian(mine.word_cpu, theirs.word_cpu);
    std::printf("This library minus the other, median of the differences within a round:\n");
    std::printf("  per synthesis (one word): %+.2f ms wall, %+.2f ms CPU: %+.2f%% and %+.2f%% "
                "of the fragment at 11025 Hz\n",
                word * 1e3, word_cpu * 1e3, 100.0 * word / frag, 100.0 * word_cpu / frag_cpu);
    const double d11025 = PairedMedian(mine.frag11025, theirs.frag11025);
    const double d22050 = PairedMedian(mine.frag22050, theirs.frag22050);
    const double dcpu = PairedMedian(mine.frag_cpu, theirs.frag_cpu);
    std::printf("  fragment: %+.1f ms (%+.2f%%) at 11025 Hz, %+.1f ms (%+.2f%%) at 22050 Hz; "
                "CPU %+.1f ms (%+.2f%%)\n",
                d11025 * 1e3, 100.0 * d11025 / frag, d22050 * 1e3,
                100.0 * d22050 / Median(mine.frag22050), dcpu * 1e3, 100.0 * dcpu / frag_cpu);
    return 0;
}
