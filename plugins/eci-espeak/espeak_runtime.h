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
  // sample rate, or 0 with an explanation. The process is a copy of the
  // caller's (fork): a caller with other threads may hand it a lock one of
  // them held, which nobody will release there, so the first use belongs
  // before the caller starts threads.
  static int Initialize(std::string& error);

  // Synthesises with the given voice settings, starting from the same
  // espeak-ng state whatever was synthesised before. With a queue, text is
  // a batch of texts and pauses (AppendTextSegment) whose samples go into
  // the queue at output_rate; without one, text is one UTF-8 text that
  // espeak-ng plays on the default audio output. Returns false with an
  // explanation; a synthesis stopped because the queue was aborted counts
  // as success.
  static bool Speak(const std::string& text, const std::string& voice_name, int pitch, int rate,
                    int volume, SampleQueue* queue, int output_rate, std::string& error);

  // Whether the system has an audio output that espeak-ng can open.
  static bool AudioOutputAvailable();
};

}  // namespace eci

#endif
