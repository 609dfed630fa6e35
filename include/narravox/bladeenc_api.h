/*
 * The BladeEnc-style C interface of the MP3 encoder library (LAME_ENC.DLL on
 * Windows, liblame_enc.so on Linux).  The program binds the four entry points
 * by name at run time; the libraries that implement them include this header
 * too.  Plain C so that either side may be written in C or C++.
 *
 * The interface is 32-bit throughout: every field of the configuration record
 * is a little-endian 32-bit value at a fixed offset, and a stream is named by
 * a 32-bit number, never by a pointer.
 */
#ifndef NARRAVOX_AUDIO_BLADEENC_API_H
#define NARRAVOX_AUDIO_BLADEENC_API_H

#include <stddef.h>
#include <stdint.h>

/* Calling convention of the entry points: cdecl on 32-bit Windows (as the
 * encoder DLL exports them), the platform default everywhere else. */
#if defined(_WIN32) && !defined(_WIN64)
#define BE_CALL __cdecl
#else
#define BE_CALL
#endif

/* Marks the entry points that an encoder library exports. */
#if defined(_WIN32)
#define BE_EXPORT __declspec(dllexport)
#elif defined(__GNUC__)
#define BE_EXPORT __attribute__((visibility("default")))
#else
#define BE_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* A stream: a small number handed out by beInitStream.  0 is never a valid
 * stream, so callers may use it for "no stream open". */
typedef uint32_t HBE_STREAM;

/* Result of every entry point. */
typedef uint32_t BE_ERR;

#define BE_ERR_SUCCESSFUL 0u
#define BE_ERR_INVALID_FORMAT 1u            /* the record is not one we know */
#define BE_ERR_INVALID_FORMAT_PARAMETERS 2u /* known record, unusable values */
#define BE_ERR_NO_MORE_HANDLES 3u
#define BE_ERR_INVALID_HANDLE 4u
#define BE_ERR_BUFFER_TOO_SMALL 5u

/* dwConfig: the LAME form of the record, the only one used here. */
#define BE_CONFIG_LAME 256u
#define BE_CONFIG_VERSION 1u
#define BE_CONFIG_SIZE 332u

/* nMode */
#define BE_MP3_MODE_MONO 3

/* The configuration record in its LAME form.  Every field is 32 bits wide and
 * naturally aligned, so the layout needs no packing pragma; the checks below
 * pin each offset.  Boolean fields are 0 for false and any other value (the
 * program uses -1) for true.  Fields and reserved bytes not in use are 0. */
typedef struct BE_CONFIG {
    uint32_t dwConfig;        /* BE_CONFIG_LAME */
    uint32_t dwStructVersion; /* BE_CONFIG_VERSION */
    uint32_t dwStructSize;    /* BE_CONFIG_SIZE (or more) */
    uint32_t dwSampleRate;    /* rate of the samples passed in, Hz */
    uint32_t dwReSampleRate;  /* rate of the MP3 frames, Hz; 0 = input rate */
    int32_t nMode;            /* BE_MP3_MODE_MONO */
    uint32_t dwBitrate;       /* constant bit rate, kbit/s */
    uint32_t dwMaxBitrate;
    int32_t nPreset;
    uint32_t dwMpegVersion;
    uint32_t dwPsyModel;
    uint32_t dwEmphasis;
    int32_t bPrivate;
    int32_t bCRC;
    int32_t bCopyright;
    int32_t bOriginal;
    int32_t bWriteVBRHeader;
    int32_t bEnableVBR;
    int32_t nVBRQuality;
    uint8_t reserved[BE_CONFIG_SIZE - 76];
} BE_CONFIG;

/* Opens a stream.  Fills the number of samples to pass per beEncodeChunk
 * call, the output space that one chunk (and the final flush) may need, and
 * the stream handle. */
typedef BE_ERR(BE_CALL *BEINITSTREAM)(BE_CONFIG *config, uint32_t *samplesPerChunk,
                                      uint32_t *minOutputBytes, HBE_STREAM *stream);
/* Encodes at most samplesPerChunk 16-bit mono samples; writes at most
 * minOutputBytes bytes at output and stores their number. */
typedef BE_ERR(BE_CALL *BEENCODECHUNK)(HBE_STREAM stream, uint32_t nSamples,
                                       const int16_t *samples, uint8_t *output,
                                       uint32_t *outputBytes);
/* Flushes the stream's last frames into output (minOutputBytes of space). */
typedef BE_ERR(BE_CALL *BEDEINITSTREAM)(HBE_STREAM stream, uint8_t *output,
                                        uint32_t *outputBytes);
/* Releases the stream; its handle is invalid afterwards. */
typedef BE_ERR(BE_CALL *BECLOSESTREAM)(HBE_STREAM stream);

BE_EXPORT BE_ERR BE_CALL beInitStream(BE_CONFIG *config, uint32_t *samplesPerChunk,
                                      uint32_t *minOutputBytes, HBE_STREAM *stream);
BE_EXPORT BE_ERR BE_CALL beEncodeChunk(HBE_STREAM stream, uint32_t nSamples,
                                       const int16_t *samples, uint8_t *output,
                                       uint32_t *outputBytes);
BE_EXPORT BE_ERR BE_CALL beDeinitStream(HBE_STREAM stream, uint8_t *output,
                                        uint32_t *outputBytes);
BE_EXPORT BE_ERR BE_CALL beCloseStream(HBE_STREAM stream);

#ifdef __cplusplus
} /* extern "C" */
#endif

/* The record's layout is part of the interface: check it at compile time. */
#ifdef __cplusplus
#define BE_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define BE_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif
BE_STATIC_ASSERT(sizeof(BE_CONFIG) == BE_CONFIG_SIZE, "BE_CONFIG must be 332 bytes");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, dwConfig) == 0, "dwConfig offset");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, dwStructVersion) == 4, "dwStructVersion offset");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, dwStructSize) == 8, "dwStructSize offset");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, dwSampleRate) == 12, "dwSampleRate offset");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, dwReSampleRate) == 16, "dwReSampleRate offset");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, nMode) == 20, "nMode offset");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, dwBitrate) == 24, "dwBitrate offset");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, dwMaxBitrate) == 28, "dwMaxBitrate offset");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, nPreset) == 32, "nPreset offset");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, dwMpegVersion) == 36, "dwMpegVersion offset");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, dwPsyModel) == 40, "dwPsyModel offset");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, dwEmphasis) == 44, "dwEmphasis offset");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, bPrivate) == 48, "bPrivate offset");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, bCRC) == 52, "bCRC offset");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, bCopyright) == 56, "bCopyright offset");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, bOriginal) == 60, "bOriginal offset");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, bWriteVBRHeader) == 64, "bWriteVBRHeader offset");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, bEnableVBR) == 68, "bEnableVBR offset");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, nVBRQuality) == 72, "nVBRQuality offset");
BE_STATIC_ASSERT(offsetof(BE_CONFIG, reserved) == 76, "reserved offset");
#undef BE_STATIC_ASSERT

#endif /* NARRAVOX_AUDIO_BLADEENC_API_H */
