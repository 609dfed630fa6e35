#include "pipeline_fixture.h"
#include "test_files.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "audio/output_file.h"
#include "audio/pipeline.h"
#include "audio/processing.h"
#include "base/run_state.h"
#include "base/settings.h"
#include "platform/process.h"

void PipelineTest::SetUp() {
  platform::PrepareProcess();  // a file size limit fails writes, as in the program
  char templ[] = "/tmp/narravox-pipe-XXXXXX";
  ASSERT_TRUE(mkdtemp(templ));
  folder_ = templ;
  EditableSettings() = TSettings();
  RunState = TRunState();
  EditableSettings().ECIDLL = FAKE_ECI_LIBRARY;
  EditableSettings().MP3DLL = FAKE_ENC_LIBRARY;
  EditableSettings().PAUSACODA.clear();
  EditableSettings().PRIORITA = kPriorityNormal;
  EditableSettings().VERBOSITA = 0;
  setenv("NARRAVOX_FAKE_ECI_LOG", File("engine.log").c_str(), 1);
  setenv("NARRAVOX_FAKE_ENC_LOG", File("encoder.log").c_str(), 1);
  for (const char* name :
       {"NARRAVOX_FAKE_ECI_FAIL", "NARRAVOX_FAKE_ECI_FILL", "NARRAVOX_FAKE_ENC_FAIL",
        "NARRAVOX_FAKE_ENC_CHUNK", "NARRAVOX_FAKE_ENC_MINOUT", "NARRAVOX_FAKE_ENC_FLUSH"})
    unsetenv(name);
}

void PipelineTest::TearDown() {
  processing_.reset();
  std::string command = "rm -rf '" + folder_ + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
}

void PipelineTest::Activate() {
  // The fake encoder keeps its streams, counts and settings while it stays
  // loaded, also after it was freed: it reads the test's settings again.
  if (void* encoder = dlopen(FAKE_ENC_LIBRARY, RTLD_NOW | RTLD_NOLOAD)) {
    if (auto reset = reinterpret_cast<void (*)()>(dlsym(encoder, "narravoxFakeEncReset"))) reset();
    dlclose(encoder);
  }
  processing_ = std::make_unique<TProcessing>(Settings.ECIDLL, TProcessing::TRole::Worker);
  processing_->Start();
}

void PipelineTest::SpeakInto(const std::string& path, const std::string& text, const uint8_t* tag) {
  MakeOutputFile(Pipeline().Output(), path, [&] {
    Engine().AddText(text.c_str());
    Engine().SynthesizeAndWait();
    Pipeline().FinishMp3File(tag);
    Pipeline().CheckError();
  });
}

std::string PipelineTest::Read(const std::string& name) const { return ReadFileBytes(File(name)); }

bool PipelineTest::Exists(const std::string& name) const { return PathExists(File(name)); }

int PipelineTest::Count(const std::string& text, const std::string& what) const {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

::testing::AssertionResult PipelineTest::WaitForState(TPipelineState state) {
  if (WaitUntil([&] { return Pipeline().State() == state; }))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "still " << ::testing::PrintToString(Pipeline().State()) << " after 10 s, not "
         << ::testing::PrintToString(state);
}

void PrintTo(TPipelineState state, std::ostream* out) {
  static const char* const names[] = {
      "Idle",        "Encoding",      "Writing",    "WritingEngineTold", "WrittenEngineNotTold",
      "OutOfMemory", "EncoderFailed", "WriteFailed"};
  *out << names[static_cast<int>(state)];
}
