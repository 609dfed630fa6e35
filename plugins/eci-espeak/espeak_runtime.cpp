#include "espeak_runtime.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "sample_queue.h"

namespace eci {
namespace {

std::mutex g_mutex;  // guards everything below and every espeak-ng call
bool g_initialized = false;
int g_sample_rate = 0;
std::string g_init_error;
bool g_playback_mode = false;
SampleQueue *g_queue = nullptr;  // destination of the running synthesis

// Milliseconds of audio per espeak-ng callback: larger blocks mean fewer
// calls and less locking per sample.
const int kBlockMs = 200;

int OnSynth(short *samples, int count, espeak_EVENT *) {
    if (!samples || count <= 0 || !g_queue) return 0;
    return g_queue->Push(samples, static_cast<size_t>(count)) ? 0 : 1;
}

std::string StatusText(espeak_ng_STATUS status) {
    char buffer[256] = "";
    espeak_ng_GetStatusCodeMessage(status, buffer, sizeof buffer);
    return buffer;
}

bool SelectOutput(bool playback, std::string &error) {
    if (g_playback_mode == playback) return true;
    int mode = ENOUTPUT_MODE_SYNCHRONOUS | (playback ? ENOUTPUT_MODE_SPEAK_AUDIO : 0);
    espeak_ng_STATUS status = espeak_ng_InitializeOutput(
        static_cast<espeak_ng_OUTPUT_MODE>(mode), kBlockMs, nullptr);
    if (status != ENS_OK) {
        error = "espeak-ng output set-up failed: " + StatusText(status);
        return false;
    }
    g_playback_mode = playback;
    return true;
}

}  // namespace

int EspeakRuntime::Initialize(std::string &error) {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_initialized) {
        g_initialized = true;
        espeak_ng_InitializePath(nullptr);
        espeak_ng_ERROR_CONTEXT context = nullptr;
        espeak_ng_STATUS status = espeak_ng_Initialize(&context);
        espeak_ng_ClearErrorContext(&context);
        if (status != ENS_OK) {
            g_init_error = "espeak-ng initialisation failed: " + StatusText(status);
        } else {
            status = espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, kBlockMs, nullptr);
            if (status != ENS_OK) {
                g_init_error = "espeak-ng output set-up failed: " + StatusText(status);
            } else {
                espeak_SetSynthCallback(OnSynth);
                g_sample_rate = espeak_ng_GetSampleRate();
            }
        }
    }
    if (g_sample_rate <= 0) error = g_init_error;
    return g_sample_rate;
}

bool EspeakRuntime::Speak(const std::string &utf8, const std::string &voice_name, int pitch,
                          int rate, int volume, SampleQueue *queue, std::string &error) {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_sample_rate <= 0) {
        error = g_init_error.empty() ? "espeak-ng is not initialised" : g_init_error;
        return false;
    }
    if (!SelectOutput(queue == nullptr, error)) return false;
    espeak_ng_STATUS status = espeak_ng_SetVoiceByName(voice_name.c_str());
    if (status != ENS_OK) {
        error = "espeak-ng has no voice \"" + voice_name + "\": " + StatusText(status);
        return false;
    }
    espeak_ng_SetParameter(espeakRATE, rate, 0);
    espeak_ng_SetParameter(espeakPITCH, pitch, 0);
    espeak_ng_SetParameter(espeakVOLUME, volume, 0);

    g_queue = queue;
    status = espeak_ng_Synthesize(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0,
                                  espeakCHARS_UTF8, nullptr, nullptr);
    g_queue = nullptr;
    if (status == ENS_OK || status == ENS_SPEECH_STOPPED) return true;
    error = "espeak-ng synthesis failed: " + StatusText(status);
    return false;
}

bool EspeakRuntime::AudioOutputAvailable() {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (std::getenv("PULSE_SERVER")) return true;
    if (const char *runtime = std::getenv("XDG_RUNTIME_DIR")) {
        if (fs::exists(fs::path(runtime) / "pulse" / "native", ec)) return true;
        if (fs::exists(fs::path(runtime) / "pipewire-0", ec)) return true;
    }
    // An ALSA playback device: /dev/snd/pcmC<card>D<device>p
    for (fs::directory_iterator it("/dev/snd", ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.compare(0, 4, "pcmC") == 0 && !name.empty() && name.back() == 'p') return true;
    }
    return false;
}

}  // namespace eci
