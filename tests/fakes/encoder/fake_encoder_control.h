/* Extra entry point of the fake encoder library, for tests that load it once
 * and drive it several times: forget every stream and call count and read
 * the NARRAVOX_FAKE_ENC_* environment again. */
#ifndef NARRAVOX_FAKE_ENCODER_CONTROL_H
#define NARRAVOX_FAKE_ENCODER_CONTROL_H

#include "narravox/bladeenc_api.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef void(BE_CALL* NARRAVOXFAKEENCRESET)(void);
BE_EXPORT void BE_CALL narravoxFakeEncReset(void);

#ifdef __cplusplus
}
#endif

#endif
