#include "espeak_runtime.h"

#include <errno.h>
#include <pthread.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <new>
#include <system_error>

#include "sample_queue.h"
#include "synthesis_process.h"

namespace eci {
namespace {

std::mutex g_mutex;  // guards everything below; one synthesis at a time
int g_socket = -1;   // to the synthesis process; -1 while it is not running
int g_sample_rate = 0;

// Closing the socket ends the synthesis process, when the library is
// unloaded or the program exits.
struct SocketCloser {
  ~SocketCloser() {
    if (g_socket >= 0) close(g_socket);
  }
} g_socket_closer;

void Disconnect() {
  if (g_socket >= 0) close(g_socket);
  g_socket = -1;
}

// A child that the program forks does not share the parent's synthesis
// process (the two would mix their requests, and the copy of the socket
// would keep the process alive after the parent): it starts its own.
void ForgetInChild() {
  Disconnect();
  new (&g_mutex) std::mutex();  // another thread may have held it
}

struct ForkHandler {
  ForkHandler() { pthread_atfork(nullptr, nullptr, ForgetInChild); }
} g_fork_handler;

// Starts the synthesis process and waits until espeak-ng is initialised in
// it. It is started through an intermediate child that exits at once, so
// that it is not a child of the program, which never has to wait for it.
bool Connect(std::string& error) {
  int sockets[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) {
    error = std::string("no socket for the espeak-ng process: ") + std::strerror(errno);
    return false;
  }
  const pid_t child = fork();
  if (child == 0) {
    close(sockets[0]);
    if (fork() == 0) RunSynthesisProcess(sockets[1]);
    _exit(0);
  }
  const int fork_error = errno;
  close(sockets[1]);
  if (child < 0) {
    close(sockets[0]);
    error = std::string("no process for espeak-ng: ") + std::strerror(fork_error);
    return false;
  }
  while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
  int32_t rate = 0;
  std::string message;
  if (!ReceiveReply(sockets[0], rate, message)) {
    close(sockets[0]);
    error = "the espeak-ng process did not start";
    return false;
  }
  if (rate <= 0) {
    close(sockets[0]);
    error = message.empty() ? "espeak-ng could not be initialised" : message;
    return false;
  }
  g_socket = sockets[0];
  g_sample_rate = rate;
  return true;
}

}  // namespace

int EspeakRuntime::Initialize(std::string& error) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (g_socket < 0 && !Connect(error)) return 0;
  return g_sample_rate;
}

bool EspeakRuntime::Speak(const std::string& text, const std::string& voice_name, int pitch,
                          int rate, int volume, SampleQueue* queue, int output_rate,
                          std::string& error) {
  std::lock_guard<std::mutex> lock(g_mutex);
  SpeakRequest request;
  request.pitch = pitch;
  request.rate = rate;
  request.volume = volume;
  request.playback = queue == nullptr;
  request.output_rate = output_rate;
  const int shared_fd = queue ? queue->fd() : -1;
  // A process that has gone since the last synthesis is started again;
  // the new one is in the same state the old one was.
  bool sent = g_socket >= 0 && SendRequest(g_socket, request, voice_name, text, shared_fd);
  if (!sent) {
    Disconnect();
    if (!Connect(error)) return false;
    sent = SendRequest(g_socket, request, voice_name, text, shared_fd);
  }
  int32_t ok = 0;
  std::string message;
  if (!sent || !ReceiveReply(g_socket, ok, message)) {
    Disconnect();
    error = "the espeak-ng process stopped during the synthesis";
    return false;
  }
  if (ok) return true;
  error = message;
  return false;
}

bool EspeakRuntime::AudioOutputAvailable() {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (std::getenv("PULSE_SERVER")) return true;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR")) {
    if (fs::exists(fs::path(runtime) / "pulse" / "native", ec)) return true;
    if (fs::exists(fs::path(runtime) / "pipewire-0", ec)) return true;
  }
  // An ALSA playback device: /dev/snd/pcmC<card>D<device>p
  for (fs::directory_iterator it("/dev/snd", ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.compare(0, 4, "pcmC") == 0 && !name.empty() && name.back() == 'p') return true;
  }
  return false;
}

}  // namespace eci
