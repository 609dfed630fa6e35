#include "engine/conversion.h"

#include <deque>
#include <memory>
#include <vector>

#include "audio/file_runner.h"
#include "audio/processing.h"
#include "base/settings.h"
#include "text/ascii.h"
#include "base/console_out.h"
#include "base/errors.h"
#include "base/messages.h"
#include "base/run_state.h"
#include "engine/engine_text.h"
#include "engine/fragmentation.h"
#include "engine/id3_tag.h"
#include "engine/id3v2_tag.h"
#include "engine/non_text.h"
#include "engine/old_files.h"
#include "engine/output_layout.h"
#include "engine/progress.h"
#include "engine/text_loading.h"
#include "platform/charset.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "platform/process.h"
#include "text/lines.h"

namespace {

// A file handed to the runner, from its start in the fragment loop until it
// and every file before it are complete.
struct TPendingFile {
  int32_t track = 0;
  std::string path;
  int32_t doneBytesBefore = 0;  // the progress when its fragment started
  int32_t position = 0;         // the text position after its fragment
  bool contentRemains = false;  // another file follows
  bool announced = false;       // its progress line is shown
  bool finished = false;
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
  void ConvertText();
  // Loads the current text into textLines_; false when it was skipped.
  bool LoadCurrentText();
  // Locks the text's folder and removes what an earlier conversion left
  // there, with the user's consent; false when the text was skipped.
  bool StartTextFolder();
  void SkipText(const std::string& message);
  void FragmentStart(TFragmentBuffer& buffer) override;
  void FragmentEnd(TFragmentBuffer& buffer, bool allLinesConsumed, bool contentRemains) override;
  void SpeakAloud(TFragmentBuffer& buffer);
  void ShowFileStart(int32_t track);
  std::string Id3v2TagOfFile() const;
  // The fragment goes to the runner; files are shown, and the checkpoint
  // advances, in file order as they complete.
  void HandOutFragment(TFragmentBuffer& buffer, bool contentRemains);
  void FileFinished(const TJobResult& result);
  [[noreturn]] void StopAtFailure(TJobResult failure);
  void AdvanceCompleteFiles();
  void FinishFilesInProgress();
  void DiscardFilesAfterCheckpoint();
  void EndRun();
  // Releases the runner and the processing, and goes back to the directory
  // of the start. Never raises.
  void Shutdown();

  const reading::TUserDictionary& dictionary_;
  TProgress progress_;
  int32_t fileBaseBytes_ = 0;
  int32_t resumeOffset_ = 0;
  int32_t textSize_ = 0;
  std::string textPath_;
  TTextNames names_;
  TId3Tag id3Tag_ = {};
  int year_ = 0;
  bool firstFragment_ = true;
  bool oemText_ = false;
  std::deque<TPendingFile> pending_;
  std::unique_ptr<TFragmentBuffer> buffer_;
  std::vector<std::string> textLines_;
  std::string savedDirectory_;
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
  for (size_t i = 2; i < RunState.JobList.size(); ++i) {
    RunState.JobList[i].size = TextFileSize(RunState.JobList[i].text);
    progress_.TotalBytes += RunState.JobList[i].size;
  }
  year_ = platform::CurrentYear();
  if (Settings.ID3TAG) InitId3Tag(id3Tag_, year_);
  oemText_ = Settings.TIPOTESTO == kTextDos;
  buffer_ = std::make_unique<TFragmentBuffer>(Settings.FRAMMENTI);

  // The engine library is loaded from its own folder, which becomes the
  // current directory; a name without folder keeps the current one.
  std::string library = platform::FullPath(Settings.ECIDLL);
  size_t slash = Settings.ECIDLL.rfind(platform::kPathSeparator);
  if (slash != std::string::npos) {
    savedDirectory_ = platform::CurrentDirectory();
    if (!platform::SetCurrentDirectory(Settings.ECIDLL.substr(0, slash + 1)))
      RaiseErrorWithCode(msg::kLibraryFolderNotFound, library, -1);
  }
  processing_ = std::make_unique<TProcessing>(library, TProcessing::TRole::Coordinator);
  processing_->Start();
  if (RunState.TestMode) return;
  runner_ = MakeFileRunner(*processing_);
  if (Settings.VERBOSITA > 0) PrintLine(FormatText(msg::kDestinationFolder, {Settings.DESTINAZIONE}));
}

void TConversion::ConvertText() {
  TJobLine& line = RunState.JobList[2];
  textPath_ = line.text;
  fileBaseBytes_ = progress_.DoneBytes;
  textSize_ = line.size;
  resumeOffset_ = 0;
  progress_.Update(platform::TickCount());
  if (Settings.VERBOSITA > 0) PrintLine(progress_.Prefix() + textPath_);
  names_ = NamesOfText(line);
  if (RunState.TestMode) names_.TextFolder.clear();
  if (RunState.TextPosition != -1 && !LoadCurrentText()) return;
  if (!RunState.TestMode && !StartTextFolder()) return;

  if (RunState.TextPosition != -1) {
    if (Settings.ID3TAG && !RunState.TestMode) SetId3Album(id3Tag_, names_.SpokenName);
    buffer_->Clear();
    if (RunState.TextPosition > 0) {
      resumeOffset_ = RunState.TextPosition;
      progress_.TotalBytes -= RunState.TextPosition;
    }
    TFragmentSettings settings;
    settings.fragmentSize = Settings.FRAMMENTI;
    settings.splitLine = Settings.RIGAFRAMMENTA;
    settings.paragraphBreaks = Settings.PAUSAPARAGRAFO;
    RunFragmentLoop(textLines_, settings, &RunState.TextPosition, *buffer_, *this);
    if (!RunState.TestMode) FinishFilesInProgress();
  }
  if (RunState.TestMode) return;
  bool emptied = GroupTextFiles(*processing_, names_, RunState.TrackNumber, RunState.TextPosition);
  processing_->ReleaseFolderLock();
  if (emptied) platform::RemoveFolder(Settings.DESTINAZIONE + names_.TextName);
}

bool TConversion::LoadCurrentText() {
  switch (platform::KindOfPath(textPath_)) {
    case platform::PathKind::File: break;
    case platform::PathKind::Folder: SkipText(FormatText(msg::kTextIsFolder, {textPath_})); return false;
    case platform::PathKind::Other: SkipText(FormatText(msg::kTextNotAFile, {textPath_})); return false;
    case platform::PathKind::Missing:
      SkipText(msg::kErrorPrefix +
               ErrorWithCode(msg::kFileNotFound, textPath_, platform::kErrorFileNotFound));
      return false;
  }
  std::string text;
  std::string failure = FailureOf([&] { text = LoadText(textPath_, textSize_); });
  if (!failure.empty()) {
    SkipText(msg::kErrorPrefix + failure);
    return false;
  }
  TNonText nonText = RecogniseNonText(text);
  if (nonText.refused) {
    SkipText(NonTextMessage(textPath_, nonText));
    return false;
  }
  PrepareText(&text, Settings.TIPOTESTO, &oemText_, textPath_);
  if (text.find_first_not_of(" \t\r\n\f\v\x1a") == std::string::npos) {
    SkipText(FormatText(msg::kTextEmpty, {textPath_}));
    return false;
  }
  textLines_ = text::SplitLines(text);
  return true;
}

bool TConversion::StartTextFolder() {
  const std::string folder = names_.TextFolder.substr(0, names_.TextFolder.size() - 1);
  CreateOutputFolder(folder);
  const std::string lockPath = names_.TextFolder + kTextFolderLockName;
  platform::LockResult lock = processing_->LockFolder(lockPath);
  if (lock == platform::LockResult::Busy) {
    SkipText(FormatText(msg::kTextFolderBusy, {textPath_, folder, LockHolderText(lockPath)}));
    return false;
  }
  if (lock == platform::LockResult::Failed) RaiseErrorWithCode(msg::kCannotCreateFile, lockPath, -1);
  RemoveUnfinishedFiles(names_.TextFolder, names_);
  if (RunState.TextStarted) return true;
  if (!ConsentToRemoveOldFiles(names_)) {
    processing_->ReleaseFolderLock();
    SkipText(FormatText(msg::kOldFilesKept, {textPath_, folder}));
    return false;
  }
  RemoveOldFiles(names_.TextFolder, names_);
  // From here "/R" goes on with the text without asking again.
  SaveCheckpoint(RunState.TextPosition, RunState.TrackNumber);
  return true;
}

// Nothing of a text that cannot be converted is spoken and no file is made
// for it; the run goes on with the next text.
void TConversion::SkipText(const std::string& message) {
  PrintErrorLine(message);
  RunState.SkippedTexts.push_back(textPath_);
  progress_.DoneBytes = fileBaseBytes_ + textSize_;
}

void TConversion::FragmentStart(TFragmentBuffer& buffer) {
  std::string n = std::to_string(RunState.TrackNumber);
  if (Settings.ID3TAG) SetId3Track(id3Tag_, RunState.TrackNumber);
  if (Settings.TITOLO) buffer.AppendText(names_.SpokenName + " " + n + ".\r\n\r\n");
  if (RunState.TestMode) return;
  pending_.push_back({RunState.TrackNumber, names_.TextFolder + Mp3FileName(RunState.TrackNumber),
                      progress_.DoneBytes});
  AdvanceCompleteFiles();
}

void TConversion::ShowFileStart(int32_t track) {
  progress_.Update(platform::TickCount());
  if (Settings.VERBOSITA > 1) PrintLine(progress_.Prefix() + UpperAscii(Mp3FileName(track)));
  platform::SetConsoleTitle(progress_.ProgressText + " - " + names_.TextName);
}

std::string TConversion::Id3v2TagOfFile() const {
  TId3v2Fields fields;
  fields.album = names_.TagName;
  fields.track = RunState.TrackNumber;
  fields.year = year_;
  fields.language = Settings.LINGUA;
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
  pending_.back().position = RunState.TextPosition;
  pending_.back().contentRemains = contentRemains;
  TFragmentJob job;
  job.track = RunState.TrackNumber;
  job.path = pending_.back().path;
  job.parts = FragmentSpeech(buffer, dictionary_);
  if (Settings.ID3V2) job.id3v2 = Id3v2TagOfFile();
  if (Settings.ID3TAG) job.id3v1.assign(reinterpret_cast<const char*>(id3Tag_), sizeof id3Tag_);
  while (!runner_->CanStart()) FileFinished(runner_->AwaitFinishedJob());
  runner_->Start(job);
  while (runner_->ResultReady()) FileFinished(runner_->AwaitFinishedJob());
}

void TConversion::FileFinished(const TJobResult& result) {
  if (!result.error.empty()) StopAtFailure(result);
  for (TPendingFile& file : pending_)
    if (file.track == result.track) file.finished = true;
  AdvanceCompleteFiles();
}

// A failed file stops the run as it would with one stream: the files before
// it are finished, those after it stopped, and the error of the first file
// that failed is the one reported.
void TConversion::StopAtFailure(TJobResult failure) {
  runner_->StopJobsAfter(failure.track);
  while (runner_->JobsInProgress() > 0) {
    TJobResult result = runner_->AwaitFinishedJob();
    if (result.error.empty()) {
      FileFinished(result);
    } else if (result.track < failure.track) {
      failure = result;
      runner_->StopJobsAfter(failure.track);
    }
  }
  RaiseError(failure.error);
}

// The files finished after the first one not finished go, so that the
// folder holds what the checkpoint says. Never raises.
void TConversion::DiscardFilesAfterCheckpoint() {
  if (!runner_) return;
  runner_->Close();
  for (const TPendingFile& file : pending_)
    if (file.finished) platform::DeleteFile(file.path);
  pending_.clear();
}

// The first file not complete is shown as started, and the checkpoint
// names it: "/R" after any interruption makes it and those after it again.
void TConversion::AdvanceCompleteFiles() {
  TPendingFile complete;
  while (!pending_.empty()) {
    TPendingFile& first = pending_.front();
    if (!first.announced) {
      first.announced = true;
      int32_t doneBytes = progress_.DoneBytes;
      progress_.DoneBytes = first.doneBytesBefore;
      ShowFileStart(first.track);
      progress_.DoneBytes = doneBytes;
    }
    if (!first.finished) break;
    complete = first;
    pending_.pop_front();
  }
  if (complete.contentRemains) SaveCheckpoint(complete.position, complete.track + 1);
}

void TConversion::FinishFilesInProgress() {
  while (runner_->JobsInProgress() > 0) FileFinished(runner_->AwaitFinishedJob());
}

void TConversion::EndRun() {
  if (Settings.VERBOSITA < 1) return;
  progress_.DoneBytes = -1;
  progress_.Update(platform::TickCount());
  const std::vector<std::string>& skipped = RunState.SkippedTexts;
  std::string done = skipped.empty()
                         ? std::string(msg::kConversionDone)
                         : FormatText(msg::kConversionDoneSkipped, {std::to_string(skipped.size())});
  PrintLine(progress_.Prefix() + done);
  for (const std::string& text : skipped) PrintLine("  " + text);
  if (!RunState.TestMode) PrintLine(FormatText(msg::kDestinationFolder, {Settings.DESTINAZIONE}));
  if (Settings.AVVISIFINESTRA) {
    platform::SetConsoleTitle(msg::kTitleInfo);
    platform::ShowMessageBox(done, msg::kTitleInfo, platform::MessageBoxKind::Information);
  }
}

int TConversion::Run() {
  try {
    StartRun();
    while (RunState.JobList.size() > 2) {
      ConvertText();
      const bool recorded = !RunState.TestMode && RunState.RecoveryFileWritten.value;
      if (RunState.JobList.size() == 3) {
        if (recorded) platform::DeleteFile(RunState.RecoveryFilePath);
        break;
      }
      RunState.JobList.erase(RunState.JobList.begin() + 2);
      RunState.TextStarted = false;
      RunState.TextPosition = 0;
      RunState.TrackNumber = 1;
      if (recorded) SaveJobList();
    }
    EndRun();
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
  if (!savedDirectory_.empty()) platform::SetCurrentDirectory(savedDirectory_);
}

}  // namespace

int RunConversion(const reading::TUserDictionary& dictionary) {
  TConversion conversion(dictionary);
  return conversion.Run();
}
