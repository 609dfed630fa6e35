#ifndef NARRAVOX_ECI_AUDIO_OUTPUT_H
#define NARRAVOX_ECI_AUDIO_OUTPUT_H

namespace eci {

// espeak-ng asks libpcaudio for an audio output (create_audio_device_object)
// whenever its output is set up, even for a synthesis into memory, and
// libpcaudio then tries to reach a sound server: that creates folders under
// HOME and /tmp, may start a server, and draws numbers from rand(), as many
// as the names it finds taken, so that what comes out of the noise generator
// afterwards depends on the machine's history. This library defines that
// function itself, ahead of libpcaudio in espeak-ng's lookup: a process gets
// no audio output (espeak-ng never touches it outside its playback modes)
// until it calls AllowAudioOutput, which a synthesis played on the speakers
// does.
void AllowAudioOutput();

}  // namespace eci

#endif
