#include "fuzz_support.h"

#include "base/settings.h"
#include "base/run_state.h"

void ResetRun() {
  EditableSettings() = TSettings();
  RunState = TRunState();
}
