#include "fuzz_support.h"

#include "base/run_state.h"
#include "base/settings.h"

void ResetRun() {
  EditableSettings() = TSettings();
  RunState = TRunState();
}
