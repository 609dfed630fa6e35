#include "fuzz_support.h"

#include "config/settings.h"
#include "driver/run_state.h"

void ResetRun() {
  Settings = TSettings();
  Run = TRunState();
}
