// How the parts of a book fit together: ncc.html's links and the SMIL
// files' elements, the clips and the audio files' real lengths, the times
// each file states, master.smil, and the files of the folder.
#include "daisy/daisy_checker.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <set>

#include "daisy/book_parts.h"

namespace daisy_check {

namespace {

namespace fs = std::filesystem;

const double kClipTolerance = 0.001;  // clip times are written to the millisecond

struct TBook {
  std::string folder;
  TNcc ncc;
  std::vector<std::string> smilOrder;  // the reading order (ReadSmilFiles)
  std::map<std::string, TSmil> smils;
  std::vector<std::string> audioOrder;  // as the clips first use them
  std::map<std::string, std::optional<double>> audioSeconds;
  std::set<std::string> contentFiles;  // text documents other than ncc.html
  bool hasMaster = false;
  TMaster master;
  bool complete = true;  // every SMIL file read
  int clips = 0;
  double clipSeconds = 0;
};

std::string FileOf(const std::string& src) { return src.substr(0, src.find('#')); }
std::string FragmentOf(const std::string& src) {
  const auto hash = src.find('#');
  return hash == std::string::npos ? "" : src.substr(hash + 1);
}

// The SMIL files in the order ncc.html first links to them; one that only
// master.smil refers to goes where master.smil puts it, so that one missing
// link is not taken for a missing part of the book.
void ReadSmilFiles(TBook& book, TProblems& problems) {
  for (const TNavItem& item : book.ncc.items) {
    if (item.smil.empty() || book.smils.count(item.smil)) continue;
    book.smilOrder.push_back(item.smil);
    book.smils.emplace(item.smil, ReadSmil(book.folder, item.smil, "ncc.html", problems));
  }
  std::size_t at = 0;
  for (std::size_t i = 0; i < book.master.refs.size(); ++i) {
    const std::string file = FileOf(book.master.refs[i]);
    const auto found = std::find(book.smilOrder.begin(), book.smilOrder.end(), file);
    if (file.empty()) continue;  // CheckMaster tells
    if (found != book.smilOrder.end()) {
      at = static_cast<std::size_t>(found - book.smilOrder.begin()) + 1;
      continue;
    }
    problems.Add("SMIL not linked", "master.smil: its ref " + std::to_string(i + 1) +
                                        " points to " + file +
                                        ", which ncc.html does not link to.");
    book.smilOrder.insert(book.smilOrder.begin() + static_cast<long>(at++), file);
    book.smils.emplace(file, ReadSmil(book.folder, file, "master.smil", problems));
  }
  for (const auto& [name, smil] : book.smils) book.complete = book.complete && smil.read;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string NavName(const TNavItem& item) {
  return "the " + item.element + " " + Quoted(item.text);
}

// Each link of ncc.html reaches a par or text whose text points back to
// it, in the reading order; each text pointing into ncc.html reaches an id.
void CheckLinks(TBook& book, TProblems& problems) {
  std::pair<int, int> previous{-1, -1};
  for (const TNavItem& item : book.ncc.items) {
    if (item.smil.empty()) continue;
    const TSmil& smil = book.smils.at(item.smil);
    if (!smil.read) continue;
    const auto target = smil.ids.find(item.fragment);
    const std::string link = item.smil + "#" + item.fragment;
    if (target == smil.ids.end()) {
      problems.Add("link to no element", "ncc.html: " + NavName(item) + " links to " + link +
                                             ", but " + item.smil +
                                             " has no element with that id.");
      continue;
    }
    if (target->second.element != "par" && target->second.element != "text") {
      problems.Add("link to no element", "ncc.html: " + NavName(item) + " links to " + link +
                                             ", the " + target->second.element +
                                             " element there; it must reach a par or a text.");
      continue;
    }
    if (target->second.textSrc != "ncc.html#" + item.id) {
      problems.Add("text not pointing back", item.smil + ": the text of " + item.fragment +
                                                 " points to " + Quoted(target->second.textSrc) +
                                                 ", not back to ncc.html#" + item.id +
                                                 ", the navigation point that links to it.");
    }
    const int smilIndex =
        static_cast<int>(std::find(book.smilOrder.begin(), book.smilOrder.end(), item.smil) -
                         book.smilOrder.begin());
    const std::pair<int, int> here{smilIndex, target->second.position};
    if (here <= previous) {
      problems.Add("links out of order", "ncc.html: " + NavName(item) + " links to " + link +
                                             ", which plays before what the navigation point "
                                             "before it links to.");
    }
    previous = here;
  }
  for (const std::string& name : book.smilOrder) {
    for (const std::string& src : book.smils.at(name).textSrcs) {
      const std::string file = FileOf(src);
      const std::string fragment = FragmentOf(src);
      if (file == "ncc.html") {
        if (!book.ncc.ids.count(fragment)) {
          problems.Add("text pointing nowhere", name + ": a text points to " + Quoted(src) +
                                                    ", and ncc.html has no such id.");
        }
      } else if (!file.empty()) {
        book.contentFiles.insert(file);
      }
    }
    const TSmil& smil = book.smils.at(name);
    const auto identifier = smil.meta.find("dc:identifier");
    const auto nccIdentifier = book.ncc.meta.find("dc:identifier");
    if (identifier != smil.meta.end() && nccIdentifier != book.ncc.meta.end() &&
        Trim(identifier->second.content) != Trim(nccIdentifier->second.content)) {
      problems.Add("identifier", name + ": its dc:identifier " +
                                     Quoted(identifier->second.content) + " is not ncc.html's " +
                                     Quoted(nccIdentifier->second.content) + ".");
    }
  }
}

void MeasureAudio(TBook& book, const TOptions& options, TProblems& problems) {
  for (const std::string& name : book.smilOrder) {
    for (const std::string& audio : book.smils.at(name).audioSrcs) {
      if (book.audioSeconds.count(audio)) continue;
      book.audioOrder.push_back(audio);
      std::optional<double>& seconds = book.audioSeconds[audio];
      const std::string path = book.folder + "/" + audio;
      std::string why;
      if (!fs::is_regular_file(path)) {
        problems.Add("missing audio", name + ": its audio " + audio + " is missing.");
      } else if (!(seconds = AudioFileSeconds(path, options, &why))) {
        problems.Add("unreadable audio", audio + ": its length cannot be measured: " + why + ".");
      }
    }
  }
}

// Every clip lies within its audio file, the clips of one file follow each
// other without gap or overlap, and together they cover it all.
void CheckClips(TBook& book, TProblems& problems) {
  struct TCovered {
    double end = 0;
    bool any = false;
  };
  std::map<std::string, TCovered> covered;
  for (const std::string& name : book.smilOrder) {
    for (const TClip& clip : book.smils.at(name).clips) {
      ++book.clips;
      book.clipSeconds += clip.end - clip.begin;
      const std::string what =
          "the clip " + (clip.id.empty() ? "" : Quoted(clip.id) + " ") + "in " + name;
      const std::optional<double>& seconds = book.audioSeconds.at(clip.audio);
      if (seconds && clip.end > *seconds + kClipTolerance) {
        problems.Add("clip beyond its audio",
                     clip.audio + ": " + what + " ends at " + Seconds(clip.end) +
                         ", beyond the end of the audio (" + Seconds(*seconds) + ").");
      }
      TCovered& file = covered[clip.audio];
      if (!file.any && clip.begin > kClipTolerance) {
        problems.Add("audio not covered", clip.audio + ": its first clip, " + what +
                                              ", begins at " + Seconds(clip.begin) +
                                              ", so its start is never heard.");
      } else if (file.any && std::abs(clip.begin - file.end) > kClipTolerance) {
        problems.Add("clips not contiguous",
                     clip.audio + ": its clips are not contiguous: " + what + " begins at " +
                         Seconds(clip.begin) + ", where the one before it ended at " +
                         Seconds(file.end) + ".");
      }
      file.any = true;
      file.end = clip.end;
    }
  }
  for (const auto& [audio, file] : covered) {
    const std::optional<double>& seconds = book.audioSeconds.at(audio);
    if (seconds && file.end < *seconds - kClipTolerance) {
      problems.Add("audio not covered", audio + ": its clips end at " + Seconds(file.end) +
                                            ", but it plays " + Seconds(*seconds) +
                                            ": its end is never heard.");
    }
  }
}

// The time of the first count SMIL files, by their clips and as their
// ncc:timeInThisSmil states it. A written time that matches either is
// right: when the two differ a SMIL file is already reported, and its
// fault is not repeated for every time after it.
struct TPlayed {
  double clips = 0, stated = 0;
  int clipCount = 0, smilCount = 0;
  bool stateKnown = true;

  bool Agrees(const TClock& written) const {
    return std::abs(written.seconds - clips) <= Tolerance(written, clipCount) ||
           (stateKnown && std::abs(written.seconds - stated) <= Tolerance(written, smilCount));
  }
  void Add(const TSmil& smil) {
    clips += smil.clipSeconds;
    clipCount += static_cast<int>(smil.clips.size());
    ++smilCount;
    if (smil.timeInThisSmil)
      stated += smil.timeInThisSmil->seconds;
    else
      stateKnown = false;
  }
};

TPlayed PlayedBefore(const TBook& book, std::size_t count) {
  TPlayed played;
  for (std::size_t i = 0; i < count; ++i) played.Add(book.smils.at(book.smilOrder[i]));
  return played;
}

// Each SMIL file's ncc:totalElapsedTime is what the SMIL files before it
// play; ncc:totalTime what they all play.
void CheckTimes(const TBook& book, TReport& report, TProblems& problems) {
  const auto totalTime = book.ncc.meta.find("ncc:totalTime");
  const auto written =
      totalTime == book.ncc.meta.end() ? std::nullopt : ParseClockValue(totalTime->second.content);
  if (written) report.summary.totalTime = written->seconds;
  // Past a SMIL file that cannot be read the times are unknown.
  for (std::size_t i = 0; i < book.smilOrder.size(); ++i) {
    const TSmil& smil = book.smils.at(book.smilOrder[i]);
    if (!smil.read) return;
    const TPlayed before = PlayedBefore(book, i);
    if (smil.totalElapsedTime && !before.Agrees(*smil.totalElapsedTime)) {
      problems.Add("elapsed time", smil.name + ": ncc:totalElapsedTime is " +
                                       Seconds(smil.totalElapsedTime->seconds) +
                                       ", but the SMIL files before it play " +
                                       Seconds(before.clips) + ".");
    }
  }
  if (written && !PlayedBefore(book, book.smilOrder.size()).Agrees(*written)) {
    problems.Add("total time", "ncc.html: ncc:totalTime is " + Seconds(written->seconds) +
                                   ", but all the clips add up to " + Seconds(book.clipSeconds) +
                                   ".");
  }
}

// master.smil lists the SMIL files in the reading order.
void CheckMaster(const TBook& book, TProblems& problems) {
  const TMaster& master = book.master;
  if (!master.read) return;
  if (master.refs.size() != book.smilOrder.size()) {
    problems.Add("master refs", "master.smil: it holds " + std::to_string(master.refs.size()) +
                                    " refs, for the " + std::to_string(book.smilOrder.size()) +
                                    " SMIL files of the book.");
  }
  for (std::size_t i = 0; i < master.refs.size() && i < book.smilOrder.size(); ++i) {
    const std::string& src = master.refs[i];
    const std::string file = FileOf(src);
    const std::string fragment = FragmentOf(src);
    if (file != book.smilOrder[i]) {
      problems.Add("master refs", "master.smil: its ref " + std::to_string(i + 1) + " points to " +
                                      Quoted(src) + ", where the reading order has " +
                                      book.smilOrder[i] + ".");
    } else if (!fragment.empty() && book.smils.at(file).read &&
               !book.smils.at(file).ids.count(fragment)) {
      problems.Add("master refs",
                   "master.smil: its ref " + Quoted(src) + " reaches no element of " + file + ".");
    }
  }
  const auto time = master.meta.find("ncc:timeInThisSmil");
  if (time != master.meta.end() && book.complete) {
    const auto written = ParseClockValue(time->second.content);
    if (!written || !PlayedBefore(book, book.smilOrder.size()).Agrees(*written)) {
      problems.Add("SMIL time", "master.smil: ncc:timeInThisSmil is " +
                                    Quoted(time->second.content) + ", but the whole book plays " +
                                    Seconds(book.clipSeconds) + ".");
    }
  }
}

bool PlayerSafeName(const std::string& name) {
  static const std::regex rule("[a-z0-9_-]{1,8}\\.[a-z0-9]{1,4}");
  return std::regex_match(name, rule);
}

// The files of the book: their names, their number and size as ncc.html
// states them, and no stray SMIL, audio or HTML file beside them.
void CheckFiles(const TBook& book, TProblems& problems) {
  std::set<std::string> files{"ncc.html"};
  files.insert(book.smilOrder.begin(), book.smilOrder.end());
  files.insert(book.audioOrder.begin(), book.audioOrder.end());
  files.insert(book.contentFiles.begin(), book.contentFiles.end());
  if (book.hasMaster) files.insert("master.smil");

  std::uintmax_t bytes = 0;
  for (const std::string& name : files) {
    if (!PlayerSafeName(name)) {
      problems.Add("file name", name +
                                    ": the name must be at most 8 lower-case letters a-z, "
                                    "digits, _ or -, then its extension, for players that read "
                                    "FAT cards.");
    }
    std::error_code error;
    const auto size = fs::file_size(book.folder + "/" + name, error);
    if (!error) bytes += size;
  }
  for (const auto& content : book.contentFiles) {
    if (!fs::is_regular_file(book.folder + "/" + content)) {
      problems.Add("missing content", content + ", which a SMIL text points to, is missing.");
    }
  }
  // Without all its SMIL files the book's files are not all known.
  if (!book.complete) return;
  auto count = [&](const char* name) -> std::optional<long> {
    const auto found = book.ncc.meta.find(name);
    if (found == book.ncc.meta.end()) return std::nullopt;
    const std::string text = Trim(found->second.content);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
      return std::nullopt;
    return std::stol(text);
  };
  if (const auto declared = count("ncc:files");
      declared && *declared != static_cast<long>(files.size())) {
    problems.Add("file count",
                 "ncc.html: ncc:files is " + std::to_string(*declared) + ", but the book has " +
                     std::to_string(files.size()) + " files: ncc.html, " +
                     std::to_string(book.smilOrder.size()) + " SMIL, " +
                     std::to_string(book.audioOrder.size()) + " audio" +
                     (book.hasMaster ? ", master.smil" : "") +
                     (book.contentFiles.empty()
                          ? ""
                          : ", " + std::to_string(book.contentFiles.size()) + " text") +
                     ".");
  }
  // Rounded up or down: 1 kB either way.
  if (const auto declared = count("ncc:kByteSize");
      declared && std::abs(static_cast<double>(*declared) - bytes / 1024.0) > 1.0) {
    problems.Add("byte size", "ncc.html: ncc:kByteSize is " + std::to_string(*declared) +
                                  ", but the book's files hold " + std::to_string(bytes) +
                                  " bytes (" + std::to_string(bytes / 1024) + " kB).");
  }
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(book.folder, error)) {
    const std::string name = entry.path().filename().string();
    std::string extension = entry.path().extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (entry.is_regular_file() && !files.count(name) &&
        (extension == ".smil" || extension == ".mp3" || extension == ".html")) {
      problems.Add("stray file", name +
                                     " lies in the book's folder, but nothing in the book "
                                     "refers to it.");
    }
  }
}

// The type the NCC states fits what the book holds.
void CheckMultimediaType(const TBook& book, TProblems& problems) {
  const auto type = book.ncc.meta.find("ncc:multimediaType");
  if (type == book.ncc.meta.end()) return;
  const std::string value = Trim(type->second.content);
  const bool audio = book.clips > 0;
  const bool texts = !book.contentFiles.empty();
  static const std::set<std::string> known{"audioOnly",     "audioNcc",      "audioPartText",
                                           "audioFullText", "textPartAudio", "textNCC"};
  if (!known.count(value)) return;  // reported with the metadata
  const bool fits = audio && !texts  ? value == "audioOnly" || value == "audioNcc"
                    : audio && texts ? value == "audioPartText" || value == "audioFullText" ||
                                           value == "textPartAudio"
                    : !audio && texts ? value == "textNCC" || value == "textPartAudio"
                                      : value == "textNCC";
  if (!fits) {
    problems.Add("multimedia type",
                 "ncc.html: ncc:multimediaType is " + Quoted(value) + ", but the book holds " +
                     (audio ? "audio" : "no audio") +
                     (texts ? " and text documents." : " and no text documents."));
  }
}

void Summarize(const TBook& book, TReport& report) {
  TSummary& summary = report.summary;
  for (const TNavItem& item : book.ncc.items) {
    if (item.level > 0) summary.headings.push_back({item.level, item.id, item.text, item.smil});
  }
  summary.depth = book.ncc.depth;
  summary.smilFiles = static_cast<int>(book.smilOrder.size());
  summary.audioFiles = static_cast<int>(book.audioOrder.size());
  summary.clipSeconds = book.clipSeconds;
  for (const auto& [name, seconds] : book.audioSeconds) summary.audioSeconds += seconds.value_or(0);
  for (const auto& [name, meta] : book.ncc.meta) summary.meta.emplace(name, meta.content);
}

}  // namespace

TReport CheckDaisyBook(const std::string& folder, const TOptions& options) {
  TReport report;
  TProblems problems;
  TBook book;
  book.folder = folder;
  if (!fs::is_directory(folder)) {
    problems.Add("no book", folder + " is no folder.");
  } else if (!fs::is_regular_file(folder + "/ncc.html")) {
    problems.Add("no book", fs::exists(folder + "/NCC.HTML")
                                ? "NCC.HTML: the NCC must be named ncc.html, in lower case."
                                : "ncc.html is missing from " + folder + ".");
  } else if (ReadNcc(folder, book.ncc, problems)) {
    book.hasMaster = fs::is_regular_file(folder + "/master.smil");
    if (book.hasMaster) book.master = ReadMaster(folder, problems);
    ReadSmilFiles(book, problems);
    CheckLinks(book, problems);
    MeasureAudio(book, options, problems);
    CheckClips(book, problems);
    CheckTimes(book, report, problems);
    CheckMaster(book, problems);
    CheckFiles(book, problems);
    CheckMultimediaType(book, problems);
    Summarize(book, report);
  }
  report.problems = problems.Lines();
  return report;
}

std::string TReport::SummaryLine() const {
  char line[256];
  std::snprintf(line, sizeof line,
                "headings %zu depth %d smil %d audio %d totalTime %.3f s clips %.3f s audio %.3f s",
                summary.headings.size(), summary.depth, summary.smilFiles, summary.audioFiles,
                summary.totalTime, summary.clipSeconds, summary.audioSeconds);
  return line;
}

std::string TReport::Text() const {
  std::string text;
  for (const std::string& problem : problems) text += problem + "\n";
  return text + SummaryLine() + "\n";
}

}  // namespace daisy_check
