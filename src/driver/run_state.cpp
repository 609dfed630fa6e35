#include "driver/run_state.h"

TRunState Run;
