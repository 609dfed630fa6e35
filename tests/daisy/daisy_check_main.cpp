// narravox_daisy_check <folder> [--frames]: checks the DAISY 2.02 book in
// folder, prints its problems and a summary line; exit status 0 when it
// passes, 1 when it does not, 2 on a wrong command line. --frames measures
// the audio files by their frame headers (the test encoder's fakes) instead
// of decoding them.
#include <cstdio>
#include <string>

#include "daisy/daisy_checker.h"

int main(int argc, char** argv) {
  std::string folder;
  daisy_check::TOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--frames") {
      options.decodeAudio = false;
    } else if (folder.empty() && !arg.empty() && arg[0] != '-') {
      folder = arg;
    } else {
      folder.clear();
      break;
    }
  }
  if (folder.empty()) {
    std::fprintf(stderr, "usage: narravox_daisy_check <folder> [--frames]\n");
    return 2;
  }
  const daisy_check::TReport report = daisy_check::CheckDaisyBook(folder, options);
  std::fputs(report.Text().c_str(), stdout);
  return report.ok() ? 0 : 1;
}
