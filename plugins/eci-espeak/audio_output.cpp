#include "audio_output.h"

#include <dlfcn.h>

namespace eci {
namespace {

bool g_allowed = false;

}  // namespace

void AllowAudioOutput() { g_allowed = true; }

}  // namespace eci

// libpcaudio's entry point, as espeak-ng calls it; the real one is the
// next definition after this library's.
extern "C" __attribute__((visibility("default"))) void* create_audio_device_object(
    const char* device, const char* application_name, const char* description) {
  if (!eci::g_allowed) return nullptr;
  using Create = void* (*)(const char*, const char*, const char*);
  auto create = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "create_audio_device_object"));
  return create ? create(device, application_name, description) : nullptr;
}
