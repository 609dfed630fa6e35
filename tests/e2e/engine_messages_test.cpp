// Reading aloud (/TEST) with the real engine library (libeci.so on
// espeak-ng) where there is no audio output to speak on: one Italian error
// line that says what to do, and a failed run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "run_program.h"

namespace {

// Whether this machine has an ALSA playback device, which the library
// speaks on whatever the environment says.
bool HasPlaybackDevice() {
  namespace fs = std::filesystem;
  std::error_code ec;
  for (fs::directory_iterator it("/dev/snd", ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind("pcmC", 0) == 0 && name.back() == 'p') return true;
  }
  return false;
}

// PULSE_SERVER, which names a sound server, unset while it lives: the
// program's runs inherit this process's environment.
class WithoutPulseServer {
 public:
  WithoutPulseServer() {
    if (const char* value = std::getenv("PULSE_SERVER")) saved_ = value;
    unsetenv("PULSE_SERVER");
  }
  ~WithoutPulseServer() {
    if (saved_) setenv("PULSE_SERVER", saved_->c_str(), 1);
  }

 private:
  std::optional<std::string> saved_;
};

TEST(EngineMessages, ReadingAloudWithoutAnAudioOutputSaysWhatToDo) {
  if (HasPlaybackDevice()) GTEST_SKIP() << "this machine has a sound card to speak on";
  ProgramFolder folder(false);
  folder.Write("narravox.INI", std::string("[Narravox]\r\nECIDLL=") + ECI_LIBRARY + "\r\n");
  folder.Write("a.txt", "Ciao a tutti.\n");
  // A session's folder without the sockets of a sound server.
  folder.MakeFolder("run");
  WithoutPulseServer noServer;
  const std::map<std::string, std::string> session = {{"XDG_RUNTIME_DIR", folder.File("run")}};

  // Verbosity 0: the error line alone, on standard error.
  EXPECT_TRUE(StoppedWith(folder.Run({"/TEST", "/VB=0", "a.txt"}, "", session),
                          "Nessun dispositivo audio per leggere il testo ad alta voce (/TEST): "
                          "collegare una scheda audio o avviare il server audio (PulseAudio o "
                          "PipeWire), oppure convertire il testo in file MP3 senza /TEST",
                          ""));

  // A sound server named but not running.
  std::map<std::string, std::string> gone = session;
  gone["PULSE_SERVER"] = "unix:" + folder.File("run/nessun-server");
  EXPECT_TRUE(StoppedWith(folder.Run({"/TEST", "/VB=0", "a.txt"}, "", gone),
                          "Impossibile usare il dispositivo audio per leggere il testo ad alta "
                          "voce (/TEST): controllare la scheda audio o che il server audio "
                          "(PulseAudio o PipeWire) sia avviato e raggiungibile, oppure "
                          "convertire il testo in file MP3 senza /TEST",
                          ""));
}

}  // namespace
