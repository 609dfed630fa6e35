#include "conversion_fixture.h"

#include <algorithm>
#include <dirent.h>
#include <regex>
#include <sstream>

void Conversion::Configure(const std::string& lines) {
  folder_.Write("narravox.INI", std::string("[Narravox]\r\nECIDLL=") + FAKE_ECI_LIBRARY +
                                    "\r\nMP3DLL=" + FAKE_ENC_LIBRARY +
                                    "\r\nD=out\r\nPC=0\r\nP=NORMALE\r\n" + lines);
}

RunResult Conversion::Convert(const std::vector<std::string>& args, const std::string& input,
                              const std::map<std::string, std::string>& env) {
  return folder_.Run(args, input, env);
}

std::string Conversion::Listing(const std::string& folder) const {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder_.File(folder).c_str())) {
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
  }
  std::sort(names.begin(), names.end());
  std::string listing;
  for (const std::string& name : names) listing += name + "\n";
  return listing;
}

std::string WithoutProgress(const std::string& output) {
  static const std::regex prefix("^[0-9hms]* [0-9]+% [0-9hms?]*: ", std::regex::multiline);
  return std::regex_replace(output, prefix, "");
}

std::string Track(int n) {
  char name[16];
  snprintf(name, sizeof name, "%.3d.mp3", n);
  return name;
}

std::string ClipContent(const std::string& text) {
  return "\r\n" + std::string(11025 * 500 / 2000, '\0') + "\r\n" + text;
}
