#include "conversion_fixture.h"

#include <dirent.h>
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <functional>
#include <sstream>

// The engine reads the text as earlier versions gave it (lower case, no
// Italian rules), so that the files of the tests of layouts and resumes hold
// the text plainly; the tests of the reading set their own.
std::string Configuration(const std::string& lines) {
  return std::string("[Narravox]\r\nECIDLL=") + FAKE_ECI_LIBRARY +
         "\r\nMP3DLL=" + FAKE_ENC_LIBRARY + "\r\nD=out\r\nPC=0\r\nP=NORMALE\r\nMA=N\r\nNZ=N\r\n" + lines;
}

std::string Sentences(int n) {
  std::string text;
  for (int i = 1; i <= n; ++i)
    text += "Questa e' la frase numero " + std::to_string(i) + " del libro.\n";
  return text;
}

void Conversion::Configure(const std::string& lines) {
  folder_.Write("narravox.INI", Configuration(lines));
}

std::string Conversion::Tree(const ProgramFolder& folder) {
  std::string command = "cd '" + folder.path() + "' && find out -type f ! -name .narravox.lock | sort > .tree";
  if (std::system(command.c_str()) != 0) return "";
  std::string names = folder.Read(".tree");
  std::string listing;
  for (size_t at = 0, end; (end = names.find('\n', at)) != std::string::npos; at = end + 1) {
    std::string name = names.substr(at, end - at);
    listing += name + " " + std::to_string(std::hash<std::string>()(folder.Read(name))) + "\n";
  }
  return listing;
}

std::string Conversion::Reference(const std::string& lines, const std::string& text) {
  ProgramFolder reference(false);
  reference.Write("narravox.INI", Configuration(lines));
  reference.Write("libro.txt", text);
  EXPECT_EQ(reference.Run({"/VB=0", "libro.txt"}).exitCode, 0);
  return Tree(reference);
}

void Conversion::ExpectOnlyCompleteFiles(const std::string& reference) const {
  std::string tree = Tree(folder_);
  for (size_t at = 0, end; (end = tree.find('\n', at)) != std::string::npos; at = end + 1)
    EXPECT_NE(reference.find(tree.substr(at, end - at + 1)), std::string::npos)
        << "partial file: " << tree.substr(at, end - at);
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

// The progress of a line in words: its last ": " followed by a digit and
// " %" ("Testo 1 di 2, \"a.txt\": 25 %, mancano circa 3 minuti").
size_t ProgressInWords(const std::string& line) {
  size_t colon = line.rfind(": ");
  if (colon == std::string::npos || colon + 2 >= line.size() || !isdigit(line[colon + 2]))
    return std::string::npos;
  size_t percent = line.find(" %", colon);
  return percent != std::string::npos && percent == line.find_first_not_of("0123456789", colon + 2)
             ? colon
             : std::string::npos;
}

std::string WithoutProgress(const std::string& output) {
  // A prefix reads "<elapsed> <percent>% <remaining>: "; the lines in words
  // end with the progress, and the time a run took is its own line. Lines
  // without either stay as they are.
  std::string result;
  for (size_t at = 0, end; at < output.size(); at = end + 1) {
    end = output.find('\n', at);
    if (end == std::string::npos) end = output.size();
    std::string line = output.substr(at, end - at);
    size_t percent = line.find("% ");
    size_t colon = line.find(": ");
    if (percent != std::string::npos && colon != std::string::npos && percent < colon &&
        line.find(' ') < percent)
      line = line.substr(colon + 2);
    else if (ProgressInWords(line) != std::string::npos)
      line.resize(ProgressInWords(line));
    else if (line.rfind("Tempo impiegato: ", 0) == 0)
      line.resize(15);
    result += line + (end < output.size() ? "\n" : "");
  }
  return result;
}

std::string Track(int n) {
  char name[16];
  snprintf(name, sizeof name, "%.3d.mp3", n);
  return name;
}

std::string ClipContent(const std::string& text) {
  return "\r\n" + std::string(11025 * 500 / 2000, '\0') + "\r\n" + text;
}
