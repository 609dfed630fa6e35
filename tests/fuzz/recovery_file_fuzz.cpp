// Any RecoveryFile, and any JobList line: loaded with sound values or refused
// with an error, never a crash or a read past the end.
#include <unistd.h>

#include "base/errors.h"
#include "base/run_state.h"
#include "base/settings.h"
#include "driver/job_list.h"
#include "fuzz_support.h"
#include "platform/files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/narravox-fuzz-" + std::to_string(getpid()) + ".dat";
  std::string text(reinterpret_cast<const char*>(data), size);
  int32_t first = 0, second = 0;
  try {
    SplitJobLine(text, &first, &second);
  } catch (const EError&) {
  }
  ResetRun();
  RunState.RecoveryFilePath = path;
  platform::WriteWholeFile(path, text);
  try {
    ResumeJobList(false);
    FUZZ_CHECK(RunState.JobList.size() >= 3);
    FUZZ_CHECK(Settings.FRAMMENTI >= 1024 && Settings.FRAMMENTI <= 131072);
    FUZZ_CHECK(Settings.GRUPPI == 0 || (Settings.GRUPPI >= 5 && Settings.GRUPPI <= 50));
    FUZZ_CHECK(RunState.TextPosition >= -1 && RunState.TrackNumber >= 1);
    FUZZ_CHECK(RunState.JobList[2].text.find("::") == std::string::npos);
  } catch (const EError&) {
  }
  return 0;
}
