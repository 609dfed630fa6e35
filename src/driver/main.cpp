#include <string>
#include <vector>

#include "audio/fragment_worker.h"
#include "driver/setup.h"
#include "platform/platform.h"
#include "platform/process.h"
#include "platform/worker_process.h"

int main(int argc, char** argv) {
  platform::PrepareProcess();
  if (argc > 2 && std::string(argv[1]) == platform::kWorkerArgument)
    return RunWorkerProcess(argv[2]);
  std::vector<std::string> args(argv, argv + argc);
  args[0] = platform::ProgramPath();
  return NarravoxMain(args);
}
