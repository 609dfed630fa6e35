#include "engine/conversion.h"

#include <memory>

#include "audio/eci_engine.h"
#include "audio/mp3_encoder.h"
#include "audio/pipeline.h"
#include "audio/processing.h"
#include "base/settings.h"
#include "text/ascii.h"
#include "base/console_out.h"
#include "base/errors.h"
#include "base/messages.h"
#include "base/run_state.h"
#include "engine/fragmentation.h"
#include "engine/id3_tag.h"
#include "engine/id3v2_tag.h"
#include "engine/non_text.h"
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

class TConversion : public TFragmentEvents {
 public:
  // Returns the number of files skipped as not texts.
  int Run();

 private:
  void StartRun();
  void ConvertText();
  void SkipText(const TNonText& what);
  void FragmentStart(TFragmentBuffer& buffer) override;
  void FragmentEnd(TFragmentBuffer& buffer, bool allLinesConsumed, bool contentRemains) override;
  void SpeakFragment(TFragmentBuffer& buffer);
  void WriteId3v2Tag();
  void EndRun();

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
  bool askBeforeDelete_ = false;
  int skippedTexts_ = 0;
  std::unique_ptr<TFragmentBuffer> buffer_;
  std::vector<std::string> textLines_;
  std::string savedDirectory_;
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
  SetEngineLibraryPath(library);
  size_t slash = Settings.ECIDLL.rfind(platform::kPathSeparator);
  if (slash != std::string::npos) {
    savedDirectory_ = platform::CurrentDirectory();
    if (!platform::SetCurrentDirectory(Settings.ECIDLL.substr(0, slash + 1)))
      RaiseErrorWithCode(msg::kLibraryFolderNotFound, library, -1);
  }
  StartProcessing();
  ActivateEngine();
}

void TConversion::ConvertText() {
  textPath_ = RunState.JobList[2].text;
  fileBaseBytes_ = progress_.DoneBytes;
  textSize_ = RunState.JobList[2].size;
  resumeOffset_ = 0;
  progress_.Update(platform::TickCount());
  if (Settings.VERBOSITA > 0) PrintLine(progress_.Prefix() + textPath_);
  names_ = NamesOfText(textPath_);

  if (RunState.TextPosition != -1) {
    std::string text = LoadText(textPath_, textSize_);
    TNonText nonText = RecogniseNonText(text);
    if (nonText.refused) {
      SkipText(nonText);
      return;
    }
    PrepareText(&text, Settings.TIPOTESTO, &oemText_, textPath_);
    textLines_ = text::SplitLines(text);
    if (RunState.TestMode) {
      names_.TextFolder.clear();
    } else {
      CreateOutputFolder(Settings.DESTINAZIONE + names_.TextName);
      if (!RunState.ResumeMode) {
        askBeforeDelete_ = true;
        PrepareFolder(names_.TextFolder, names_, &askBeforeDelete_);
      }
      if (Settings.ID3TAG) SetId3Album(id3Tag_, names_.SpokenName);
    }
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
  }
  if (!RunState.TestMode)
    GroupTextFiles(names_, RunState.TrackNumber, RunState.TextPosition, &askBeforeDelete_);
}

// Nothing of a file that is not a text is spoken and no folder is made for
// it; the run goes on with the next text.
void TConversion::SkipText(const TNonText& what) {
  PrintErrorLine(NonTextMessage(textPath_, what));
  ++skippedTexts_;
  progress_.DoneBytes = fileBaseBytes_ + textSize_;
}

void TConversion::FragmentStart(TFragmentBuffer& buffer) {
  std::string n = std::to_string(RunState.TrackNumber);
  if (Settings.ID3TAG) SetId3Track(id3Tag_, RunState.TrackNumber);
  if (Settings.TITOLO) buffer.AppendText(names_.SpokenName + " " + n + ".\r\n\r\n");
  if (RunState.TestMode) return;
  CreateOutputFile(names_.TextFolder + Mp3FileName(RunState.TrackNumber));
  if (Settings.ID3V2) WriteId3v2Tag();
  progress_.Update(platform::TickCount());
  if (Settings.VERBOSITA > 1)
    PrintLine(progress_.Prefix() + UpperAscii(Mp3FileName(RunState.TrackNumber)));
  platform::SetConsoleTitle(progress_.ProgressText + " - " + names_.TextName);
}

// The v2 tag goes first into the new file, before the encoder's bytes.
void TConversion::WriteId3v2Tag() {
  TId3v2Fields fields;
  fields.album = names_.TagName;
  fields.track = RunState.TrackNumber;
  fields.year = year_;
  fields.language = Settings.LINGUA;
  std::string tag = Id3v2Tag(fields);
  int32_t error = 0;
  if (!WriteOutputBytes(reinterpret_cast<const uint8_t*>(tag.data()), tag.size(), &error)) {
    DiscardOutputFile();
    RaiseErrorWithCode(msg::kWriteError, names_.TextFolder + Mp3FileName(RunState.TrackNumber),
                       error);
  }
}

void TConversion::SpeakFragment(TFragmentBuffer& buffer) {
  char* fragment = buffer.data();
  platform::AnsiLower(fragment, static_cast<size_t>(buffer.length()));
  // Every file has a stream of its own; the first file of the run uses the
  // one that activation opened.
  if (!RunState.TestMode && EncoderStream == 0) OpenEncoderStream();
  if (!Settings.PAUSATESTA.empty()) AddAnnotatedText(Settings.PAUSATESTA.c_str());
  // The paragraphs go to the engine one by one with a pause between them;
  // the tail pause follows the last.
  int32_t start = 0;
  for (int32_t at : buffer.paragraphBreaks()) {
    if (at >= buffer.length()) break;
    AddText(std::string(fragment + start, static_cast<size_t>(at - start)).c_str());
    AddAnnotatedText(kParagraphPauseAnnotation);
    start = at;
  }
  AddText(fragment + start);
  if (!Settings.PAUSACODA.empty()) AddAnnotatedText(Settings.PAUSACODA.c_str());
  ResetSpeechProgress();
  SynthesizeAndWait();
  if (RunState.TestMode) return;
  FinishMp3File(Settings.ID3TAG ? id3Tag_ : nullptr);
  CheckPipelineError();
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
    SpeakFragment(buffer);
    buffer.Clear();
    // The number advances only when another file will follow, so that it
    // always counts the files of the text.
    if (contentRemains) {
      ++RunState.TrackNumber;
      if (!RunState.TestMode) SaveCheckpoint(RunState.TextPosition, RunState.TrackNumber);
    }
  } else if (firstFragment_ && !RunState.TestMode) {
    CloseEncoderStream();  // the stream of activation stays unused
  }
  firstFragment_ = false;
}

void TConversion::EndRun() {
  // A clip that failed at the very end would otherwise go unreported.
  if (!RunState.TestMode) CheckPipelineError();
  if (Settings.VERBOSITA < 1) return;
  progress_.DoneBytes = -1;
  progress_.Update(platform::TickCount());
  std::string done = skippedTexts_ == 0
                         ? std::string(msg::kConversionDone)
                         : FormatText(msg::kConversionDoneSkipped, {std::to_string(skippedTexts_)});
  PrintLine(progress_.Prefix() + done);
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
      if (!RunState.TestMode && RunState.JobList.size() == 3) {
        platform::DeleteFile(RunState.RecoveryFilePath);
        break;
      }
      RunState.JobList.erase(RunState.JobList.begin() + 2);
      if (!RunState.TestMode) SaveJobList();
      RunState.TextPosition = 0;
      RunState.TrackNumber = 1;
    }
    EndRun();
  } catch (...) {
    ShutdownProcessing(savedDirectory_);
    throw;
  }
  ShutdownProcessing(savedDirectory_);
  return skippedTexts_;
}

}  // namespace

int RunConversion() {
  TConversion conversion;
  return conversion.Run();
}
