#ifndef NARRAVOX_ECI_ESPEAK_RUNTIME_H
#define NARRAVOX_ECI_ESPEAK_RUNTIME_H

#include <cstdint>
#include <string>

namespace eci {

class SampleQueue;

// espeak-ng keeps process-wide state, must be initialised once per process
// (terminating and initialising again deadlocks) and carries state from one
// synthesis to the next, so it runs in a synthesis process of its own
// (synthesis_process.h) that this singleton starts and talks to. One
// synthesis runs at a time.
class EspeakRuntime {
 public:
  // Starts the synthesis process on first use. Returns espeak-ng's native
  // sample rate, or 0 with an explanation.
  static int Initialize(std::string& error);

  // Synthesises UTF-8 text with the given voice settings, starting from
  // the same espeak-ng state whatever was synthesised before. With a
  // queue the samples go into it; without one espeak-ng plays them on the
  // default audio output. Returns false with an explanation; a synthesis
  // stopped because the queue was aborted counts as success.
  // With batch set, utf8 is a batch of texts and pauses spoken by one
  // synthesis (see AppendTextSegment).
  static bool Speak(const std::string& utf8, const std::string& voice_name, int pitch, int rate,
                    int volume, SampleQueue* queue, std::string& error, bool batch = false);

  // Whether the system has an audio output that espeak-ng can open.
  static bool AudioOutputAvailable();
};

}  // namespace eci

#endif
