#include <string>
#include <vector>

#include "driver/setup.h"
#include "platform/platform.h"
#include "platform/process.h"

int main(int argc, char** argv) {
  platform::PrepareProcess();
  std::vector<std::string> args(argv, argv + argc);
  args[0] = platform::ProgramPath();
  return NarravoxMain(args);
}
