// Any RecoveryFile, and any JobList line: loaded with sound values or refused
// with an error, never a crash or a read past the end.
#include <unistd.h>

#include "base/errors.h"
#include "base/job_line.h"
#include "base/run_state.h"
#include "base/settings.h"
#include "driver/job_list.h"
#include "fuzz_support.h"
#include "platform/files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/narravox-fuzz-" + std::to_string(getpid()) + ".dat";
  std::string text(reinterpret_cast<const char*>(data), size);
  try {
    DecodeJobLine(text);
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
    for (size_t i = 2; i < RunState.JobList.size(); ++i)
      FUZZ_CHECK(RunState.JobList[i].position >= -1 && RunState.JobList[i].track >= 1);
    // What the program reads, it writes back the same.
    TJobLineFields fields{RunState.JobList[2].text, {}, RunState.JobList[2].folder};
    TJobLineFields back = DecodeJobLine(EncodeJobLine(fields));
    FUZZ_CHECK(back.name == fields.name && back.folder == fields.folder);
  } catch (const EError&) {
  }
  return 0;
}
