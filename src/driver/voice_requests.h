// The requests about the voices, run instead of a conversion once the
// settings and the engine library are settled: the list of the engine's
// voices (--voci, /V=?) and a sample of the chosen voice (--prova-voce).
#pragma once

// Prints the voices of the engine library, one a line after a heading: the
// number, the name that /V= takes, how it sounds and, where the library
// names its voices, the engine's own name; the presets that the engine does
// not have are left out, and the engine's default voice, 0, comes last.
// Raises the engine's errors.
void ListVoices();

// Reads the sample sentence aloud with the voice settings, as "/TEST" reads
// a text. Where the engine has no audio output device to speak on, writes
// it into the MP3 file kVoiceSampleFile of the destination folder instead,
// as every MP3 file is written, and tells where. Raises any other error.
void SpeakVoiceSample();
