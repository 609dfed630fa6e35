/*
 * The speech engine's C interface ("ECI"), shared by the program, which loads
 * the engine library at run time and binds each entry point by name, and by
 * the libraries that implement it (the espeak-ng engine and the test fake).
 *
 * Every integer that crosses the interface is 32-bit (int32_t), also on
 * 64-bit systems; booleans are 32-bit integers, non-zero meaning success.
 * Audio is signed 16-bit mono.
 */
#ifndef NARRAVOX_ECI_API_H
#define NARRAVOX_ECI_API_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define ECI_CALL __stdcall
#else
#define ECI_CALL
#endif

#if defined(_WIN32)
#define ECI_EXPORT __declspec(dllexport)
#else
#define ECI_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* An engine instance; NULL means none. */
typedef void *ECIHand;
typedef int32_t EciBool;

/* Engine parameters (eciSetParam). */
enum {
    ECI_PARAM_ANNOTATED_INPUT = 1, /* 1: "`" annotations in the text are commands; 0: plain text */
    ECI_PARAM_OPTION_3 = 3,        /* engine option, the program sets 1 */
    ECI_PARAM_SAMPLE_RATE = 5,     /* one of ECI_RATE_* */
    ECI_PARAM_REAL_WORLD_UNITS = 8,/* 1: voice parameters in Hz, words per minute, 0..65535 */
    ECI_PARAM_DIALECT = 9,         /* one of ECI_DIALECT_* */
    ECI_PARAM_OPTION_10 = 10       /* engine option, the program sets 0 */
};

/* Output sample rates (value of ECI_PARAM_SAMPLE_RATE). */
enum {
    ECI_RATE_8000 = 0,
    ECI_RATE_11025 = 1,
    ECI_RATE_22050 = 2
};

/* Dialect codes (value of ECI_PARAM_DIALECT). */
enum {
    ECI_DIALECT_US_ENGLISH = 0x10000,
    ECI_DIALECT_BRITISH_ENGLISH = 0x10001,
    ECI_DIALECT_SPANISH = 0x20000,
    ECI_DIALECT_FRENCH = 0x30000,
    ECI_DIALECT_GERMAN = 0x40000,
    ECI_DIALECT_ITALIAN = 0x50000,
    ECI_DIALECT_BRAZILIAN_PORTUGUESE = 0x70000
};

/* Voice parameters (eciSetVoiceParam); voice 0 is the active voice and
 * voices 1 to 8 are presets that eciCopyVoice can copy into it. */
enum {
    ECI_VOICE_PITCH = 2,  /* Hz, 40..422 */
    ECI_VOICE_SPEED = 6,  /* words per minute, 70..1297 */
    ECI_VOICE_VOLUME = 7  /* 0..65535, 65535 = normal loudness */
};

/* Message kinds passed to the callback. */
enum {
    ECI_MSG_WAVEFORM_BUFFER = 0 /* parameter: samples filled in the output buffer */
};

/* Callback answers. */
enum {
    ECI_DATA_NOT_PROCESSED = 0, /* offer the same buffer again later */
    ECI_DATA_PROCESSED = 1,     /* the buffer may be refilled */
    ECI_DATA_ABORT = 2          /* stop the synthesis */
};

/* Size of the text buffer that eciErrorMessage fills (terminator included). */
#define ECI_ERROR_MESSAGE_SIZE 256

/* Size of the text buffer that eciGetVoiceName fills (terminator included). */
#define ECI_VOICE_NAME_SIZE 31

/* Status (eciProgStatus) of a synthesis to be spoken aloud (no output
 * buffer) that found no audio output device to speak on. */
enum {
    ECI_STATUS_NO_AUDIO_OUTPUT = 4
};

typedef int32_t (ECI_CALL *EciCallback)(ECIHand engine, int32_t message,
                                        int32_t parameter, void *user_data);

/* Entry points, as the program binds them. */
typedef ECIHand (ECI_CALL *EciNewProc)(void);
typedef ECIHand (ECI_CALL *EciDeleteProc)(ECIHand engine); /* NULL once freed */
typedef int32_t (ECI_CALL *EciProgStatusProc)(ECIHand engine);
typedef void (ECI_CALL *EciErrorMessageProc)(ECIHand engine, void *buffer);
typedef int32_t (ECI_CALL *EciSetParamProc)(ECIHand engine, int32_t param, int32_t value);
typedef EciBool (ECI_CALL *EciCopyVoiceProc)(ECIHand engine, int32_t from_voice, int32_t to_voice);
typedef int32_t (ECI_CALL *EciSetVoiceParamProc)(ECIHand engine, int32_t voice, int32_t param,
                                                 int32_t value);
typedef EciBool (ECI_CALL *EciAddTextProc)(ECIHand engine, const char *text);
typedef EciBool (ECI_CALL *EciSynthesizeProc)(ECIHand engine);
typedef EciBool (ECI_CALL *EciSynchronizeProc)(ECIHand engine);
typedef EciBool (ECI_CALL *EciSetOutputBufferProc)(ECIHand engine, int32_t samples,
                                                   int16_t *buffer);
typedef void (ECI_CALL *EciRegisterCallbackProc)(ECIHand engine, EciCallback callback,
                                                 void *user_data);
/* The name of voice (0 the active voice, 1 to 8 the presets) into buffer, at
 * most ECI_VOICE_NAME_SIZE bytes with the terminator; 0 for a voice that the
 * engine does not have. Libraries of earlier versions lack this entry point. */
typedef EciBool (ECI_CALL *EciGetVoiceNameProc)(ECIHand engine, int32_t voice, void *buffer);

/* Declarations for the libraries that implement the interface: they define
 * ECI_IMPLEMENTATION before including this header. */
#ifdef ECI_IMPLEMENTATION
ECI_EXPORT ECIHand ECI_CALL eciNew(void);
ECI_EXPORT ECIHand ECI_CALL eciDelete(ECIHand engine);
ECI_EXPORT int32_t ECI_CALL eciProgStatus(ECIHand engine);
ECI_EXPORT void ECI_CALL eciErrorMessage(ECIHand engine, void *buffer);
ECI_EXPORT int32_t ECI_CALL eciSetParam(ECIHand engine, int32_t param, int32_t value);
ECI_EXPORT EciBool ECI_CALL eciCopyVoice(ECIHand engine, int32_t from_voice, int32_t to_voice);
ECI_EXPORT int32_t ECI_CALL eciSetVoiceParam(ECIHand engine, int32_t voice, int32_t param,
                                             int32_t value);
ECI_EXPORT EciBool ECI_CALL eciAddText(ECIHand engine, const char *text);
ECI_EXPORT EciBool ECI_CALL eciSynthesize(ECIHand engine);
ECI_EXPORT EciBool ECI_CALL eciSynchronize(ECIHand engine);
ECI_EXPORT EciBool ECI_CALL eciSetOutputBuffer(ECIHand engine, int32_t samples, int16_t *buffer);
ECI_EXPORT void ECI_CALL eciRegisterCallback(ECIHand engine, EciCallback callback,
                                             void *user_data);
ECI_EXPORT EciBool ECI_CALL eciGetVoiceName(ECIHand engine, int32_t voice, void *buffer);
#endif

#ifdef __cplusplus
}
#endif

#endif
