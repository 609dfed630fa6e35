// The MP3 encoder library: its four entry points, bound on first use, the
// one encoder configuration of a run, and its streams.
#pragma once

#include <cstdint>
#include <string>

#include "narravox/bladeenc_api.h"

extern BE_CONFIG EncoderConfig;
extern HBE_STREAM EncoderStream;  // 0 when no stream is open

// The entry points, loaded from MP3DLL on their first call.
BE_ERR beInitStreamBound(BE_CONFIG* config, uint32_t* samplesPerChunk, uint32_t* minOutput,
                         HBE_STREAM* stream);
BE_ERR beEncodeChunkBound(HBE_STREAM stream, uint32_t samples, const int16_t* input,
                          uint8_t* output, uint32_t* outputBytes);
BE_ERR beDeinitStreamBound(HBE_STREAM stream, uint8_t* output, uint32_t* outputBytes);
BE_ERR beCloseStreamBound(HBE_STREAM stream);

// Fills EncoderConfig from the settings; turns the pipeline's upsampling on
// when it resamples itself.
void FillEncoderConfig();
// The sampling rate of the MP3 files the settings ask for, in Hz.
int32_t Mp3SampleRate();
// Raises, naming the range allowed and the /RS values that allow it, when
// MPEG audio has no BITRATE at Mp3SampleRate().
void CheckBitrate();
// Opens a stream with EncoderConfig; the sizes it reports are discarded.
void OpenEncoderStream();
// Raises "Errore encoder MP3 (codice N)" for a result other than 0.
void CheckEncoder(uint32_t result);
// Closes an open stream without flushing it.
void CloseEncoderStream();
// Unloads the library at program end.
void FreeEncoderLibrary();
