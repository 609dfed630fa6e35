#include "engine/daisy_output.h"

#include <cstdio>

#include "base/errors.h"
#include "base/messages.h"
#include "base/settings.h"
#include "engine/mp3_length.h"
#include "engine/text_loading.h"
#include "platform/files.h"
#include "text/ascii.h"

namespace {

// The RFC 1766 code of the engine's language.
std::string LanguageOfVoice() {
  static const struct {
    int32_t language;
    const char* code;
  } kCodes[] = {{0x50000, "it"}, {0x10001, "en-GB"}, {0x10000, "en-US"}, {0x30000, "fr"},
                {0x20000, "es"}, {0x40000, "de"},    {0x70000, "pt-BR"}};
  for (const auto& entry : kCodes)
    if (entry.language == Settings.LINGUA) return entry.code;
  return "it";
}

bool IsDate(const std::string& text) {
  if (text.size() < 10) return false;
  for (size_t i = 0; i < 10; ++i)
    if (i == 4 || i == 7 ? text[i] != '-' : (text[i] < '0' || text[i] > '9')) return false;
  return true;
}

// The book's own date, else the day its file was last changed.
std::string DateOfBook(const TBookText& book, const std::string& textPath) {
  if (IsDate(book.metadata.date)) return book.metadata.date.substr(0, 10);
  const int32_t dos = platform::FileDosTime(textPath);
  const uint32_t date = dos == -1 ? 0 : static_cast<uint32_t>(dos) >> 16;
  char text[16];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u", 1980 + (date >> 9),
                date == 0 ? 1 : (date >> 5) & 15, date == 0 ? 1 : date & 31);
  return text;
}

std::string Narrator() {
  if (Settings.VOCE < 1 || Settings.VOCE > 8) return msg::kDaisyNarratorEngine;
  return FormatText(msg::kDaisyNarrator,
                    {msg::kVoiceNames[Settings.VOCE - 1], msg::kVoiceSounds[Settings.VOCE - 1]});
}

}  // namespace

bool DaisyForm() { return Settings.FORMATO == kFormatDaisy; }

void ShapeForTalkingBook(TBookText* book, const TTextNames& names) {
  if (!DaisyForm() || book->chapters.empty()) return;
  for (size_t n = 0; n < book->chapters.front().line; ++n)
    if (!TrimBlanks(book->lines[n]).empty()) return;
  book->lines.insert(book->lines.begin(), {names.SpokenName, std::string()});
  for (TChapterMark& chapter : book->chapters) chapter.line += 2;
  book->titleFirst = true;
}

std::string BookIdentifier(const std::string& bytes) {
  uint64_t hash = 14695981039346656037ULL;  // FNV-1a, 64 bits
  for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ULL;
  char text[24];
  std::snprintf(text, sizeof text, "nvx-%016llx", static_cast<unsigned long long>(hash));
  return text;
}

daisy::TTalkingBook PlanTalkingBook(const TBookText& book, const TFilePlan& plan,
                                    const TTextNames& names, const std::string& identifier,
                                    const std::string& textPath) {
  daisy::TTalkingBook talking;
  daisy::TBookInfo& info = talking.info;
  info.title = names.TagName;
  info.creator = book.metadata.author.empty() ? msg::kDaisyUnknownAuthor : book.metadata.author;
  info.publisher = msg::kDaisyPublisher;
  info.date = DateOfBook(book, textPath);
  info.identifier = identifier;
  info.language = book.metadata.language.empty() ? LanguageOfVoice() : book.metadata.language;
  info.generator = msg::kTagArtist;
  info.narrator = Narrator();
  talking.sections.push_back({1, names.TagName, {}});
  for (const TChapterMark& chapter : book.chapters)
    talking.sections.push_back({chapter.level, chapter.title, {}});
  for (int32_t t = 1; t <= plan.Files(); ++t) {
    const int chapter = plan.files()[static_cast<size_t>(t) - 1].chapter;
    talking.sections[static_cast<size_t>(chapter + 1)].clips.push_back({Mp3FileName(t), 0});
  }
  return talking;
}

void WriteTalkingBook(const TTextNames& names, int32_t trackCount, daisy::TTalkingBook book) {
  if (trackCount < 1) return;  // nothing was spoken: no book
  // The files made, which are those planned; any beyond the plan go with
  // the last heading.
  int32_t track = 0;
  for (daisy::TSection& section : book.sections) {
    auto& clips = section.clips;
    while (!clips.empty() && track + static_cast<int32_t>(clips.size()) > trackCount) clips.pop_back();
    track += static_cast<int32_t>(clips.size());
  }
  while (track < trackCount) book.sections.back().clips.push_back({Mp3FileName(++track), 0});
  for (daisy::TSection& section : book.sections)
    for (daisy::TClip& clip : section.clips) {
      const std::string path = names.TextFolder + clip.file;
      std::string bytes;
      const TMp3Length length = platform::ReadWholeFile(path, &bytes) ? Mp3Length(bytes) : TMp3Length();
      if (length.rate == 0) RaiseErrorWithCode(msg::kCannotReadFile, path, -1);
      clip.milliseconds = length.Milliseconds();
      book.info.audioBytes += static_cast<int64_t>(bytes.size());
    }
  for (const daisy::TBookFile& file : daisy::NavigationFiles(book)) {
    const std::string path = names.TextFolder + file.name;
    if (!platform::ReplaceFileContent(path, file.content))
      RaiseErrorWithCode(msg::kCannotCreateFile, path, -1);
  }
}

void RemoveTalkingBook(const std::string& folder) {
  std::vector<platform::FoundEntry> entries;
  platform::FindFiles(folder + "*", &entries);
  // ncc.html first: a book is never left whole with part of it gone.
  if (platform::FileExists(folder + "ncc.html")) platform::DeleteFile(folder + "ncc.html");
  for (const platform::FoundEntry& entry : entries)
    if (!entry.isFolder && entry.name != "ncc.html" && daisy::IsNavigationFileName(entry.name))
      platform::DeleteFile(folder + entry.name);
}
