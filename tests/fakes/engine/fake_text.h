#ifndef NARRAVOX_FAKE_ECI_TEXT_H
#define NARRAVOX_FAKE_ECI_TEXT_H

#include <cstdint>
#include <string>
#include <vector>

namespace fake_eci {

// Appends the fake's "speech" of a text: one sample per byte, carrying the
// byte's unsigned value (1..255). With annotations on, "`p" and digits N
// become rate * N / 2000 samples of value 0 (N/2 ms at the output rate);
// any other annotation ("`" and letters, then an optional signed number) and
// a lone "`" produce nothing.
void AppendSpeech(const char* text, bool annotated, int32_t rate_hz, std::vector<int16_t>& samples);

// The text in double quotes, with \\ \" \r \n \t and \xNN for other
// control bytes; bytes from 0x80 up are written as they are.
std::string Quote(const char* text);

}  // namespace fake_eci

#endif
