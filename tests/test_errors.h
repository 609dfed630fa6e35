// The message of the error that an operation of the program raises; shared
// by the unit tests.
#pragma once

#include <string>

#include "base/errors.h"

// The message of the EError that operation raises, or "" when it raises
// none: compared with the message expected, a missing error fails the test.
// Any other exception goes on to the test, which fails with it.
template <typename Operation>
std::string ErrorOf(Operation operation) {
  try {
    operation();
  } catch (const EError& error) {
    return error.message();
  }
  return "";
}
