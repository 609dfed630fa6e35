#include "engine/conversion.h"

#include <deque>
#include <memory>
#include <vector>

#include "audio/file_runner.h"
#include "audio/library_folder.h"
#include "audio/processing.h"
#include "base/settings.h"
#include "text/ascii.h"
#include "base/console_out.h"
#include "base/errors.h"
#include "base/messages.h"
#include "base/run_results.h"
#include "base/run_state.h"
#include "engine/book_text.h"
#include "engine/chapter_files.h"
#include "engine/daisy_output.h"
#include "engine/engine_text.h"
#include "engine/fragmentation.h"
#include "engine/id3_tag.h"
#include "engine/id3v2_tag.h"
#include "engine/non_text.h"
#include "engine/old_files.h"
#include "engine/output_layout.h"
#include "engine/playlist.h"
#include "engine/progress.h"
#include "engine/text_loading.h"
#include "platform/charset.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "platform/process.h"
#include "text/lines.h"

namespace {

// What the conversion has done and must still show or finish, in the order
// in which a one-stream run does it. Fragments of the next texts are handed
// out while the last files of a text are being made, so the lines about a
// text, its files and its grouping wait here until every file before them
// is complete: the console, the checkpoints and the JobList then go as
// they would with one stream.
struct TEvent {
  enum class TKind {
    Line,       // a line on standard output, after the progress at doneBytes
    ErrorLine,  // a line on standard error
    File,       // an MP3 file handed to the runner
    TextEnd,    // a text's last event: its grouping, and its line leaves the JobList
  };
  TKind kind = TKind::Line;
  std::string text;           // Line, ErrorLine
  int32_t doneBytes = 0;      // Line, File: the progress when it was met
  size_t textNumber = 0;      // Line: the text's place in the run, from 1
  // File
  int32_t job = 0;  // its job's number (TFragmentJob::number)
  int32_t track = 0;
  int32_t lastTrack = 0;  // the number of the text's last file
  std::string path;
  std::string title;            // the text's folder name, for the console title
  int32_t position = 0;         // the text position after its fragment
  bool contentRemains = false;  // another file of the text follows
  bool announced = false;       // its progress line is shown
  bool finished = false;
  int32_t samples = 0;          // of speech, once finished
  // TextEnd
  bool converted = false;  // not skipped: the folder is locked, files were made
  std::string skipped;     // else why: the message shown
  std::string textPath;
  TTextNames names;
  bool chapters = false;                // the text's files follow its chapters
  std::vector<std::string> fileTitles;  // UTF-8, with chapters: one per file
  std::vector<std::string> fileClips;   // ANSI, what each file's clip says
  bool daisy = false;                   // a talking book, whose navigation follows its files
  daisy::TTalkingBook talkingBook;      // its headings and their files, unmeasured
  int32_t trackCount = 0;
  int32_t endPosition = 0;  // -1 when only the grouping step was left
};

// The fragment's text as the engine takes it (engine_text.h): the head
// pause, the paragraphs with a pause between them, the tail pause.
std::vector<TSpeechPart> FragmentSpeech(TFragmentBuffer& buffer,
                                        const reading::TUserDictionary& dictionary) {
  const char* fragment = buffer.data();
  std::vector<TSpeechPart> parts;
  if (!Settings.PAUSATESTA.empty()) parts.push_back({true, Settings.PAUSATESTA});
  int32_t start = 0;
  for (int32_t at : buffer.paragraphBreaks()) {
    if (at >= buffer.length()) break;
    parts.push_back(
        {false, EngineText(std::string(fragment + start, static_cast<size_t>(at - start)),
                           dictionary)});
    parts.push_back({true, kParagraphPauseAnnotation});
    start = at;
  }
  parts.push_back({false, EngineText(fragment + start, dictionary)});
  if (!Settings.PAUSACODA.empty()) parts.push_back({true, Settings.PAUSACODA});
  return parts;
}

class TConversion : public TFragmentEvents {
 public:
  explicit TConversion(const reading::TUserDictionary& dictionary) : dictionary_(dictionary) {}
  // Returns the number of texts not converted.
  int Run();

 private:
  void StartRun();
  // Cuts the text of the JobList's line serial (its index when the run
  // started) into fragments and hands them out; its last files may still
  // be in progress when it returns.
  void CutText(size_t serial);
  // The JobList index of the text of serial: lines before it may have left.
  size_t LineIndex(size_t serial) const { return serial - textsEnded_; }
  // Loads the current text into book_; false when it was skipped.
  bool LoadCurrentText();
  // The same, giving the message of a text to skip instead.
  std::string ReadCurrentText();
  // With chapters: the book's title names the text, its chapters the files.
  void PlanChapterFiles(const TFragmentSettings& settings);
  // Locks the text's folder and removes what an earlier conversion left
  // there, with the user's consent; false when the text was skipped.
  bool StartTextFolder(size_t serial);
  void SkipText(const std::string& message);
  void FragmentStart(TFragmentBuffer& buffer, size_t firstLine) override;
  void FragmentEnd(TFragmentBuffer& buffer, bool allLinesConsumed, bool contentRemains) override;
  void SpeakAloud(TFragmentBuffer& buffer);
  // The progress shown as it was when doneBytes were done, at the time now.
  void UpdateProgressAt(int32_t doneBytes);
  void ShowFileStart(const TEvent& file);
  // The line that a text starts with.
  void ShowTextStart(const TEvent& header);
  std::string Id3v2TagOfFile() const;
  // The fragment goes to the runner; files are shown, and the checkpoint
  // advances, in file order as they complete.
  void HandOutFragment(TFragmentBuffer& buffer, bool contentRemains);
  void FileFinished(const TJobResult& result);
  [[noreturn]] void StopAtFailure(TJobResult failure);
  void Queue(TEvent event);
  // Shows and finishes, in order, the events whose files before them are
  // complete.
  void AdvanceEvents();
  // Groups a text whose files are all made, and takes it off the JobList.
  void EndText(const TEvent& end);
  // Waits for every file in progress, and every event that waited for them.
  void FinishFilesInProgress();
  void DiscardFilesAfterCheckpoint();
  void EndRun();
  void PrintSummary();
  // Releases the runner and the processing, and goes back to the directory
  // of the start. Never raises.
  void Shutdown();

  const reading::TUserDictionary& dictionary_;
  TProgress progress_;
  int32_t fileBaseBytes_ = 0;
  int32_t resumeOffset_ = 0;
  int32_t textSize_ = 0;
  size_t textsEnded_ = 0;  // lines taken off the front of the JobList
  int32_t jobsHandedOut_ = 0;
  int64_t textSamples_ = 0;  // of the files of the first text, complete in order
  // For the summary at the end of the run.
  size_t textsInRun_ = 0;
  size_t textsConverted_ = 0;
  int32_t filesMade_ = 0;
  int64_t runSamples_ = 0;
  int32_t lastTrack_ = 0;  // of the text being cut
  // The text being cut.
  size_t serial_ = 0;
  std::string textPath_;
  std::string skipped_;  // the message that skipped it
  TTextNames names_;
  TId3Tag id3Tag_ = {};
  int year_ = 0;
  bool firstFragment_ = true;
  bool oemText_ = false;
  std::deque<TEvent> events_;
  std::unique_ptr<TFragmentBuffer> buffer_;
  TBookText book_;
  bool chapterOutput_ = false;  // the files follow the book's chapters
  std::string identifier_;      // of the text's bytes, for a talking book
  std::unique_ptr<TFilePlan> plan_;
  // Held from the start of the run to its end.
  std::unique_ptr<TInLibraryFolder> libraryFolder_;
  // The processing outlives the runner, which may use it.
  std::unique_ptr<TProcessing> processing_;
  std::unique_ptr<TFileRunner> runner_;
};

void TConversion::StartRun() {
  progress_.StartTicks = platform::TickCount();
  firstFragment_ = true;
  if (Settings.VERBOSITA > 0 && !RunState.BannerPrinted) {
    PrintBanner();
    RunState.BannerPrinted = true;
  }
  textsInRun_ = RunState.JobList.size() - 2;
  for (size_t i = 2; i < RunState.JobList.size(); ++i) {
    RunState.JobList[i].size = TextFileSize(RunState.JobList[i].text);
    progress_.TotalBytes += RunState.JobList[i].size;
  }
  year_ = platform::CurrentYear();
  oemText_ = Settings.TIPOTESTO == kTextDos;
  buffer_ = std::make_unique<TFragmentBuffer>(Settings.FRAMMENTI);

  libraryFolder_ = std::make_unique<TInLibraryFolder>();
  processing_ =
      std::make_unique<TProcessing>(libraryFolder_->Library(), TProcessing::TRole::Coordinator);
  processing_->Start();
  if (RunState.TestMode) return;
  runner_ = MakeFileRunner(*processing_);
  if (Settings.VERBOSITA > 0) PrintLine(FormatText(msg::kDestinationFolder, {Settings.DESTINAZIONE}));
}

void TConversion::CutText(size_t serial) {
  const TJobLine& line = RunState.JobList[LineIndex(serial)];
  serial_ = serial;
  textPath_ = line.text;
  fileBaseBytes_ = progress_.DoneBytes;
  textSize_ = line.size;
  resumeOffset_ = 0;
  RunState.TextPosition = line.position;
  RunState.TrackNumber = line.track;
  skipped_.clear();
  names_ = NamesOfText(line);
  if (Settings.VERBOSITA > 0) {
    TEvent header;
    header.text = textPath_;
    header.doneBytes = progress_.DoneBytes;
    header.textNumber = serial - 1;
    Queue(header);
  }
  if (RunState.TestMode) names_.TextFolder.clear();
  TEvent end;
  end.kind = TEvent::TKind::TextEnd;
  // Only the grouping step left: the book still names the clips and the
  // playlist, and a text that cannot be read any more is grouped as a text.
  const bool groupingOnly = RunState.TextPosition == -1;
  if (groupingOnly && !ReadCurrentText().empty()) book_ = TBookText();
  end.converted = (groupingOnly || LoadCurrentText()) &&
                  (RunState.TestMode || StartTextFolder(serial));
  const TFragmentSettings settings = FragmentSettingsFor(book_);
  if (end.converted) {
    PlanChapterFiles(settings);
    if (DaisyForm()) {
      end.daisy = true;
      end.talkingBook = PlanTalkingBook(book_, *plan_, names_, identifier_, textPath_);
    } else if (chapterOutput_) {
      end.chapters = true;
      for (int32_t t = 1; t <= plan_->Files(); ++t) {
        end.fileTitles.push_back(plan_->Title(t, names_.TagName));
        end.fileClips.push_back(Utf8ToAnsi(end.fileTitles.back()));
      }
    }
  }
  if (end.converted && !groupingOnly) {
    // A document is measured by the text it gives, not by its file's
    // (compressed) bytes: the progress counts positions in that text.
    if (book_.document) {
      int64_t size = 0;
      for (const std::string& bookLine : book_.lines) size += static_cast<int64_t>(bookLine.size()) + 2;
      const int32_t measured = static_cast<int32_t>(std::min<int64_t>(size, INT32_MAX / 4));
      progress_.TotalBytes += measured - textSize_;
      textSize_ = measured;
    }
    buffer_->Clear();
    if (RunState.TextPosition > 0) {
      resumeOffset_ = RunState.TextPosition;
      progress_.TotalBytes -= RunState.TextPosition;
    }
    // Each text's tag starts afresh: a text after a book keeps nothing of
    // the book's author.
    if (Settings.ID3TAG && !RunState.TestMode) {
      InitId3Tag(id3Tag_, year_);
      SetId3Album(id3Tag_, names_.SpokenName);
    }
    lastTrack_ = plan_->Files();
    RunFragmentLoop(book_.lines, settings, &RunState.TextPosition, *buffer_, *this);
  }
  end.names = names_;
  end.textPath = textPath_;
  end.skipped = skipped_;
  end.trackCount = RunState.TrackNumber;
  end.endPosition = RunState.TextPosition;
  Queue(end);
}

void TConversion::PlanChapterFiles(const TFragmentSettings& settings) {
  chapterOutput_ = ChapterOutput(book_);
  NameAfterBook(book_, &names_);
  plan_ = std::make_unique<TFilePlan>(book_, settings, names_.SpokenName);
}

bool TConversion::LoadCurrentText() {
  const std::string skipped = ReadCurrentText();
  if (skipped.empty()) return true;
  SkipText(skipped);
  return false;
}

std::string TConversion::ReadCurrentText() {
  book_ = TBookText();
  std::string text;
  const std::string unreadable = LoadTextFile(textPath_, textSize_, &text);
  if (!unreadable.empty()) return unreadable;
  TJobLine& line = RunState.JobList[LineIndex(serial_)];
  const int32_t digest = ContentDigest(text);
  if (DaisyForm()) identifier_ = BookIdentifier(text);
  if (line.started && line.digest != 0 && line.digest != digest)
    return FormatText(msg::kTextChangedSinceCheckpoint, {textPath_});
  // A text cut before chapters were looked for goes on as it was cut.
  const std::string skipped =
      ReadBookText(text, textPath_, line.started && line.digest == 0, &oemText_, &book_);
  if (!skipped.empty()) return skipped;
  TTextNames named = names_;
  NameAfterBook(book_, &named);
  ShapeForTalkingBook(&book_, named);
  // Positions in a book or in a text with chapters hold only in the same
  // bytes; those of other texts are resumed as ever.
  line.digest = ChapterOutput(book_) ? digest : 0;
  return "";
}

bool TConversion::StartTextFolder(size_t serial) {
  const std::string folder = names_.TextFolder.substr(0, names_.TextFolder.size() - 1);
  CreateOutputFolder(folder);
  const std::string lockPath = names_.TextFolder + kTextFolderLockName;
  // A text named twice in the run: its first conversion ends first.
  if (processing_->HoldsFolderLock(lockPath)) FinishFilesInProgress();
  platform::LockResult lock = processing_->LockFolder(lockPath);
  if (lock == platform::LockResult::Busy) {
    SkipText(FormatText(msg::kTextFolderBusy, {textPath_, folder, LockHolderText(lockPath)}));
    return false;
  }
  if (lock == platform::LockResult::Failed) RaiseErrorWithCode(msg::kCannotCreateFile, lockPath, -1);
  RemoveUnfinishedFiles(names_.TextFolder, names_);
  if (RunState.JobList[LineIndex(serial)].started) return true;
  // The question comes after the lines of the texts before this one.
  if (OldFilesQuestionNeeded(names_)) FinishFilesInProgress();
  if (!ConsentToRemoveOldFiles(names_)) {
    processing_->ReleaseFolderLock(lockPath);
    SkipText(FormatText(msg::kOldFilesKept, {textPath_, folder}));
    return false;
  }
  RemoveOldFiles(names_.TextFolder, names_);
  RemovePlaylist(names_);
  RemoveTalkingBook(names_.TextFolder);
  // From here "/R" goes on with the text without asking again.
  SaveCheckpoint(LineIndex(serial), RunState.TextPosition, RunState.TrackNumber);
  return true;
}

// Nothing of a text that cannot be converted is spoken and no file is made
// for it; the run goes on with the next text.
void TConversion::SkipText(const std::string& message) {
  skipped_ = message;
  TEvent error;
  error.kind = TEvent::TKind::ErrorLine;
  error.text = message;
  Queue(error);
  RunState.SkippedTexts.push_back(textPath_);
  progress_.DoneBytes = fileBaseBytes_ + textSize_;
}

void TConversion::FragmentStart(TFragmentBuffer& buffer, size_t firstLine) {
  if (Settings.ID3TAG) {
    SetId3Track(id3Tag_, RunState.TrackNumber);
    if (chapterOutput_) {
      SetId3Title(id3Tag_, Utf8ToAnsi(plan_->Title(RunState.TrackNumber, names_.TagName)));
      SetId3Artist(id3Tag_, Utf8ToAnsi(book_.metadata.author));
    }
  }
  if (Settings.TITOLO)
    buffer.AppendText(FragmentTitleLine(book_, names_.SpokenName, RunState.TrackNumber, firstLine));
  if (RunState.TestMode) return;
  TEvent file;
  file.kind = TEvent::TKind::File;
  file.track = RunState.TrackNumber;
  file.lastTrack = std::max(lastTrack_, RunState.TrackNumber);
  file.path = names_.TextFolder + Mp3FileName(RunState.TrackNumber);
  file.title = names_.TextName;
  file.doneBytes = progress_.DoneBytes;
  Queue(file);
}

void TConversion::UpdateProgressAt(int32_t doneBytes) {
  const int32_t now = progress_.DoneBytes;
  progress_.DoneBytes = doneBytes;
  progress_.Update(platform::TickCount());
  progress_.DoneBytes = now;
}

// With the progress it had when its fragment started.
void TConversion::ShowFileStart(const TEvent& file) {
  UpdateProgressAt(file.doneBytes);
  if (Settings.VERBOSITA > 1 && platform::kUnixConventions)
    PrintLine(FormatText(msg::kProgressFile,
                         {std::to_string(file.track), std::to_string(file.lastTrack),
                          Mp3FileName(file.track), progress_.Words()}));
  else if (Settings.VERBOSITA > 1)
    PrintLine(progress_.Prefix() + UpperAscii(Mp3FileName(file.track)));
  platform::SetConsoleTitle(progress_.ProgressText + " - " + file.title);
}

void TConversion::ShowTextStart(const TEvent& header) {
  UpdateProgressAt(header.doneBytes);
  if (platform::kUnixConventions)
    PrintLine(FormatText(msg::kProgressText, {std::to_string(header.textNumber),
                                              std::to_string(textsInRun_), header.text,
                                              progress_.Words()}));
  else
    PrintLine(progress_.Prefix() + header.text);
}

std::string TConversion::Id3v2TagOfFile() const {
  TId3v2Fields fields;
  fields.album = names_.TagName;
  fields.track = RunState.TrackNumber;
  fields.year = year_;
  fields.language = Settings.LINGUA;
  if (chapterOutput_) {
    fields.title = plan_->Title(RunState.TrackNumber, names_.TagName);
    fields.artist = book_.metadata.author;
    fields.tracks = std::max(lastTrack_, RunState.TrackNumber);
  }
  return Id3v2Tag(fields);
}

// The test mode reads the fragment aloud, into no file.
void TConversion::SpeakAloud(TFragmentBuffer& buffer) {
  processing_->Engine().QueueSpeech(FragmentSpeech(buffer, dictionary_));
  processing_->Engine().SynthesizeAndWait();
}

void TConversion::FragmentEnd(TFragmentBuffer& buffer, bool allLinesConsumed,
                              bool contentRemains) {
  if (allLinesConsumed) {
    progress_.DoneBytes = fileBaseBytes_ + textSize_ - resumeOffset_;
    fileBaseBytes_ = progress_.DoneBytes;
    resumeOffset_ = 0;
  } else {
    progress_.DoneBytes = RunState.TextPosition - resumeOffset_ + fileBaseBytes_;
  }
  if (buffer.length() > 0) {
    if (RunState.TestMode)
      SpeakAloud(buffer);
    else
      HandOutFragment(buffer, contentRemains);
    buffer.Clear();
    // The number advances only when another file will follow, so that it
    // always counts the files of the text.
    if (contentRemains) ++RunState.TrackNumber;
  } else if (firstFragment_ && !RunState.TestMode) {
    processing_->Pipeline().CloseStream();  // the first stream stays unused
  }
  firstFragment_ = false;
}

void TConversion::HandOutFragment(TFragmentBuffer& buffer, bool contentRemains) {
  TEvent& file = events_.back();  // FragmentStart's, which nothing can follow yet
  file.position = RunState.TextPosition;
  file.contentRemains = contentRemains;
  TFragmentJob job;
  job.number = file.job = ++jobsHandedOut_;
  job.path = file.path;
  job.parts = FragmentSpeech(buffer, dictionary_);
  if (Settings.ID3V2) job.id3v2 = Id3v2TagOfFile();
  if (Settings.ID3TAG) job.id3v1.assign(reinterpret_cast<const char*>(id3Tag_), sizeof id3Tag_);
  while (!runner_->CanStart()) FileFinished(runner_->AwaitFinishedJob());
  runner_->Start(job);
  while (runner_->ResultReady()) FileFinished(runner_->AwaitFinishedJob());
}

void TConversion::FileFinished(const TJobResult& result) {
  if (!result.error.empty()) StopAtFailure(result);
  for (TEvent& event : events_)
    if (event.kind == TEvent::TKind::File && event.job == result.number) {
      event.finished = true;
      event.samples = result.samples;
    }
  AdvanceEvents();
}

// A failed file stops the run as it would with one stream: the files before
// it are finished, those after it stopped, and the error of the first file
// that failed is the one reported.
void TConversion::StopAtFailure(TJobResult failure) {
  runner_->StopJobsAfter(failure.number);
  while (runner_->JobsInProgress() > 0) {
    TJobResult result = runner_->AwaitFinishedJob();
    if (result.error.empty()) {
      FileFinished(result);
    } else if (result.number < failure.number) {
      failure = result;
      runner_->StopJobsAfter(failure.number);
    }
  }
  RaiseError(failure.error);
}

// The files finished after the first one not finished go, so that the
// folders hold what the checkpoints say. Never raises.
void TConversion::DiscardFilesAfterCheckpoint() {
  if (!runner_) return;
  runner_->Close();
  for (const TEvent& event : events_)
    if (event.kind == TEvent::TKind::File && event.finished) platform::DeleteFile(event.path);
  events_.clear();
}

void TConversion::Queue(TEvent event) {
  events_.push_back(std::move(event));
  AdvanceEvents();
}

// The first file not complete is shown as started, and the checkpoint
// names it: "/R" after any interruption makes it and those after it again.
void TConversion::AdvanceEvents() {
  while (!events_.empty()) {
    TEvent& first = events_.front();
    switch (first.kind) {
      case TEvent::TKind::Line:
        ShowTextStart(first);
        break;
      case TEvent::TKind::ErrorLine:
        PrintErrorLine(first.text);
        break;
      case TEvent::TKind::File: {
        if (!first.announced) {
          first.announced = true;
          ShowFileStart(first);
        }
        if (!first.finished) return;
        // Written when the first file not complete changes: not while the
        // next one is complete too.
        const bool nextComplete = events_.size() > 1 &&
                                  events_[1].kind == TEvent::TKind::File && events_[1].finished;
        if (first.contentRemains && !nextComplete) SaveCheckpoint(first.position, first.track + 1);
        textSamples_ += first.samples;
        ++filesMade_;
        break;
      }
      case TEvent::TKind::TextEnd: {
        TEvent end = std::move(first);
        events_.pop_front();
        EndText(end);
        continue;
      }
    }
    events_.pop_front();
  }
}

void TConversion::EndText(const TEvent& end) {
  TTextResult result;
  result.text = end.textPath;
  if (end.converted && !RunState.TestMode) {
    // A talking book's files stay in its folder, without clips: its
    // navigation is what players go by.
    bool emptied = false;
    if (end.daisy)
      WriteTalkingBook(end.names, end.trackCount, end.talkingBook);
    else
      emptied = GroupTextFiles(*processing_, end.names, end.trackCount, end.endPosition,
                               end.fileClips);
    if (end.chapters) WritePlaylist(end.names, end.trackCount, end.fileTitles);
    processing_->ReleaseFolderLock(end.names.TextFolder + kTextFolderLockName);
    if (emptied) platform::RemoveFolder(Settings.DESTINAZIONE + end.names.TextName);
    result.folder = Settings.DESTINAZIONE + end.names.TextName;
    result.files = end.trackCount;
    result.seconds = static_cast<double>(textSamples_) / Settings.SAMPLE;
    runSamples_ += textSamples_;
  } else if (!end.converted) {
    result.status = "skipped";
    result.message = end.skipped;
  }
  textSamples_ = 0;
  if (end.converted) ++textsConverted_;
  if (!RunState.TestMode) ReportTextResult(result);
  const bool recorded = !RunState.TestMode && RunState.RecoveryFileWritten.value;
  const bool last = RunState.JobList.size() == 3;
  RunState.JobList.erase(RunState.JobList.begin() + 2);
  ++textsEnded_;
  if (!recorded) return;
  if (last)
    platform::DeleteFile(RunState.RecoveryFilePath);
  else
    SaveJobList();
}

void TConversion::FinishFilesInProgress() {
  while (runner_ && runner_->JobsInProgress() > 0) FileFinished(runner_->AwaitFinishedJob());
  AdvanceEvents();
}

void TConversion::EndRun() {
  if (Settings.VERBOSITA < 1) return;
  progress_.DoneBytes = -1;
  progress_.Update(platform::TickCount());
  const std::vector<std::string>& skipped = RunState.SkippedTexts;
  std::string done = skipped.empty()
                         ? std::string(msg::kConversionDone)
                         : FormatText(msg::kConversionDoneSkipped, {std::to_string(skipped.size())});
  if (platform::kUnixConventions) {
    PrintLine(done);
    for (const std::string& text : skipped) PrintLine("  \"" + text + "\"");
    PrintSummary();
  } else {
    PrintLine(progress_.Prefix() + done);
    for (const std::string& text : skipped) PrintLine("  " + text);
    if (!RunState.TestMode) PrintLine(FormatText(msg::kDestinationFolder, {Settings.DESTINAZIONE}));
  }
  if (Settings.AVVISIFINESTRA) {
    platform::SetConsoleTitle(msg::kTitleInfo);
    platform::ShowMessageBox(done, msg::kTitleInfo, platform::MessageBoxKind::Information);
  }
}

// What the run did, a line each: texts, files and their audio, where they
// are, and the time it took.
void TConversion::PrintSummary() {
  const std::string skipped = std::to_string(RunState.SkippedTexts.size());
  const std::string converted = std::to_string(textsConverted_);
  if (RunState.TestMode) {
    PrintLine(FormatText(msg::kSummaryTextsRead, {converted, skipped}));
  } else {
    PrintLine(FormatText(msg::kSummaryTexts, {converted, skipped}));
    const int64_t audioMs = runSamples_ * 1000 / Settings.SAMPLE;
    PrintLine(filesMade_ == 0 ? std::string(msg::kSummaryNoFiles)
                              : FormatText(msg::kSummaryFiles, {std::to_string(filesMade_),
                                                                DurationInWords(audioMs)}));
    PrintLine(FormatText(msg::kDestinationFolder, {Settings.DESTINAZIONE}));
  }
  const uint32_t elapsed = platform::TickCount() - progress_.StartTicks;
  PrintLine(FormatText(msg::kSummaryElapsed, {DurationInWords(elapsed)}));
}

int TConversion::Run() {
  try {
    StartRun();
    const size_t end = RunState.JobList.size();
    for (size_t serial = 2; serial < end; ++serial) CutText(serial);
    FinishFilesInProgress();
    EndRun();
  } catch (const EError& error) {
    // The first text not finished is the one that failed.
    if (!RunState.TestMode && RunState.JobList.size() > 2)
      ReportTextResult({RunState.JobList[2].text, "", 0, 0, "failed", error.what()});
    DiscardFilesAfterCheckpoint();
    Shutdown();
    throw;
  } catch (...) {
    DiscardFilesAfterCheckpoint();
    Shutdown();
    throw;
  }
  Shutdown();
  return static_cast<int>(RunState.SkippedTexts.size());
}

void TConversion::Shutdown() {
  runner_.reset();
  processing_.reset();
  libraryFolder_.reset();
}

}  // namespace

int RunConversion(const reading::TUserDictionary& dictionary) {
  TConversion conversion(dictionary);
  return conversion.Run();
}
