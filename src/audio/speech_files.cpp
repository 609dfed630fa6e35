#include "audio/speech_files.h"

#include <cstdint>
#include <new>
#include <vector>

#include "audio/output_file.h"
#include "audio/speex_clip.h"
#include "base/errors.h"
#include "base/messages.h"
#include "base/settings.h"

namespace {

// The pause of 250 ms at the start of every clip.
const char kClipHeadPause[] = "\r\n`p500\r\n";

void WriteOrRaise(TOutputFile& file, const void* data, size_t size) {
  int32_t error = 0;
  if (!file.Write(data, size, &error)) RaiseErrorWithCode(msg::kWriteError, file.Path(), error);
}

struct TClipSamples {
  std::vector<int16_t> samples;
  bool outOfMemory = false;
};

void CollectSamples(const int16_t* samples, int32_t count, void* context) {
  auto* clip = static_cast<TClipSamples*>(context);
  if (clip->outOfMemory) return;
  try {
    clip->samples.insert(clip->samples.end(), samples, samples + count);
  } catch (const std::bad_alloc&) {
    clip->outOfMemory = true;
  }
}

// The engine's samples of the clip, collected whole (a clip lasts seconds),
// then encoded and written at once.
void WriteSpeexClip(TProcessing& processing, const std::string& path, const std::string& text) {
  TClipSamples clip;
  TPipeline& pipeline = processing.Pipeline();
  {
    struct TDiverted {
      TDiverted(TPipeline& pipeline, TClipSamples* clip) : pipeline(pipeline) {
        pipeline.DivertSamples(CollectSamples, clip);
      }
      ~TDiverted() { pipeline.DivertSamples(nullptr, nullptr); }
      TPipeline& pipeline;
    } diverted(pipeline, &clip);
    processing.Engine().AddAnnotatedText(kClipHeadPause);
    processing.Engine().AddText(text.c_str());
    processing.Engine().SynthesizeAndWait();
  }
  if (clip.outOfMemory) RaiseOutOfMemory(50, static_cast<int64_t>(clip.samples.size()) * 4);
  const std::string bytes = EncodeSpeexClip(clip.samples, Settings.SAMPLE);
  MakeOutputFile(pipeline.Output(), path,
                 [&] { WriteOrRaise(pipeline.Output(), bytes.data(), bytes.size()); });
}

}  // namespace

int64_t WriteFragmentFile(TProcessing& processing, const TFragmentJob& job) {
  TPipeline& pipeline = processing.Pipeline();
  MakeOutputFile(pipeline.Output(), job.path, [&] {
    // The v2 tag goes first into the new file, before the encoder's bytes.
    if (!job.id3v2.empty()) WriteOrRaise(pipeline.Output(), job.id3v2.data(), job.id3v2.size());
    // Every file has a stream of its own; the first file uses the one that
    // connecting the pipeline opened.
    pipeline.UseStream();
    processing.Engine().QueueSpeech(job.parts);
    pipeline.ResetSpeechProgress();
    processing.Engine().SynthesizeAndWait();
    pipeline.FinishMp3File(job.id3v1.empty() ? nullptr
                                             : reinterpret_cast<const uint8_t*>(job.id3v1.data()));
    pipeline.CheckError();
  });
  return pipeline.SpeechSamples();
}

void WriteClipFile(TProcessing& processing, const std::string& path, const std::string& text,
                   bool speex) {
  if (speex) {
    WriteSpeexClip(processing, path, text);
    return;
  }
  TPipeline& pipeline = processing.Pipeline();
  struct TQuiet {
    explicit TQuiet(TPipeline& pipeline) : pipeline(pipeline) { pipeline.SetQuiet(true); }
    ~TQuiet() { pipeline.SetQuiet(false); }
    TPipeline& pipeline;
  } quiet(pipeline);
  MakeOutputFile(pipeline.Output(), path, [&] {
    pipeline.UseFreshStream();
    processing.Engine().AddAnnotatedText(kClipHeadPause);
    processing.Engine().AddText(text.c_str());
    processing.Engine().SynthesizeAndWait();
    pipeline.FinishMp3File(nullptr);
    pipeline.CheckError();
  });
}
