#include "synthesis_process.h"

#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "audio_output.h"
#include "resampler.h"
#include "sample_queue.h"

namespace eci {
namespace {

// Milliseconds of audio per espeak-ng callback: larger blocks mean fewer
// calls and fewer wake-ups of the reading thread per sample.
const int kBlockMs = 200;

// The program's default voice, loaded once in the synthesis process so that
// its syntheses need not load it (loading a voice in a fresh copy of the
// process touches about as many pages as the rest of a short synthesis).
// Other voices are loaded over it, so each voice still starts from one
// state only.
const char kLoadedVoice[] = "roa/it";

const uint32_t kMaxVoiceSize = 256;
const uint64_t kMaxTextSize = uint64_t(1) << 30;

SampleQueue* g_queue = nullptr;   // destination of the synthesis, in a worker
// Converts espeak-ng's samples to the queue's rate, in a worker whose
// request asks for another rate: the synthesis has time to spare for it,
// and the program's reading thread then only copies.
Resampler* g_resampler = nullptr;
std::vector<int16_t> g_converted;
const char* g_loaded_voice = "";  // kLoadedVoice once it has been loaded

// espeak-ng's own noise seed setter (1.52 and later), or null.
using SetRandSeed = espeak_ng_STATUS (*)(long);
SetRandSeed g_set_rand_seed = nullptr;

// Puts samples at espeak-ng's rate into the queue, converted when asked;
// count 0 flushes the converter. False once the queue takes no more.
bool Deliver(const int16_t* samples, size_t count) {
  if (!g_resampler) return count == 0 || g_queue->Push(samples, count);
  g_converted.clear();
  if (!g_resampler->Process(samples, count, g_converted)) return false;
  return g_converted.empty() || g_queue->Push(g_converted.data(), g_converted.size());
}

int OnSynth(short* samples, int count, espeak_EVENT*) {
  if (!samples || count <= 0 || !g_queue) return 0;
  return Deliver(samples, static_cast<size_t>(count)) ? 0 : 1;
}

std::string StatusText(espeak_ng_STATUS status) {
  char buffer[256] = "";
  espeak_ng_GetStatusCodeMessage(status, buffer, sizeof buffer);
  return buffer;
}

void CloseAllBut(int keep) {
  // close_range where the kernel has it, else every descriptor listed.
  bool closed = keep == 3 || close_range(3, static_cast<unsigned>(keep - 1), 0) == 0;
  if (closed && close_range(static_cast<unsigned>(keep + 1), ~0u, 0) == 0) return;
  std::vector<int> open_fds;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (dirent* entry = readdir(dir)) {
      int fd = std::atoi(entry->d_name);
      if (fd > 2 && fd != keep && fd != dirfd(dir)) open_fds.push_back(fd);
    }
    closedir(dir);
  }
  for (int fd : open_fds) close(fd);
}

// Leaves the new process only what it needs of the program it was copied
// from: the socket, and default signal handling except for the signals
// meant for the program (it ends when the program goes). Its standard
// streams are the null device: what espeak-ng prints of its own (warnings,
// a failed assertion) would land amid the program's console lines, and a
// failure reaches the program as the error of the synthesis.
void DetachFromProgram(int& socket) {
  if (socket < 3) {
    int moved = fcntl(socket, F_DUPFD_CLOEXEC, 3);
    close(socket);
    socket = moved;
  }
  CloseAllBut(socket);
  int null_fd = open("/dev/null", O_RDWR);
  if (null_fd >= 0) {
    for (int stream = 0; stream <= 2; ++stream) dup2(null_fd, stream);
    if (null_fd > 2) close(null_fd);
  }
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  signal(SIGCHLD, SIG_DFL);
  for (int ignored : {SIGINT, SIGQUIT, SIGHUP, SIGTERM, SIGPIPE}) signal(ignored, SIG_IGN);
}

// Finds espeak-ng's own noise seed setter where it has one.
void FindEspeakNoiseSeed() {
  Dl_info info;
  if (!dladdr(reinterpret_cast<void*>(&espeak_ng_Initialize), &info)) return;
  void* espeak = dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
  if (!espeak) return;
  g_set_rand_seed = reinterpret_cast<SetRandSeed>(dlsym(espeak, "espeak_ng_SetRandSeed"));
  // The library stays loaded: espeak-ng is linked to this one.
  dlclose(espeak);
}

// The noise of breathy voices comes from rand() up to espeak-ng 1.51 and
// from a generator of espeak-ng's own, seeded with the time, from 1.52.
// Anything in the process may have drawn from rand() before (libraries
// do, in numbers that depend on the environment), so the seed is set just
// before each synthesis.
void SeedNoise() {
  srand(1);
  if (g_set_rand_seed) g_set_rand_seed(1);
}

// Exit code of a worker that found the program gone.
const int kProgramGone = 1;

// Speaks one text into the queue (or aloud); false with an explanation.
bool SpeakText(const std::string& text, std::string& error) {
  SeedNoise();
  espeak_ng_STATUS status = espeak_ng_Synthesize(text.c_str(), text.size() + 1, 0, POS_CHARACTER,
                                                 0, espeakCHARS_UTF8, nullptr, nullptr);
  if (status == ENS_OK || status == ENS_SPEECH_STOPPED) return true;
  error = "espeak-ng synthesis failed: " + StatusText(status);
  return false;
}

// Whether the converter, if any, has failed; says how in error.
bool ConversionFailed(std::string& error) {
  if (!g_resampler || g_resampler->error().empty()) return false;
  error = "resampling failed: " + g_resampler->error();
  return true;
}

// Speaks a batch of texts and pauses, in order, into the queue; a queue
// that stops taking samples ends it as a stopped synthesis.
bool SpeakBatch(const std::string& batch, std::string& error) {
  static const int16_t kSilence[4096] = {};
  size_t at = 0;
  bool taking = true;
  while (taking && at + 9 <= batch.size()) {
    char kind = batch[at];
    int64_t size = 0;
    std::memcpy(&size, batch.data() + at + 1, sizeof size);
    at += 9;
    if (kind == 'T') {
      if (size < 0 || static_cast<uint64_t>(size) > batch.size() - at) break;
      if (!SpeakText(batch.substr(at, static_cast<size_t>(size)), error)) return false;
      at += static_cast<size_t>(size);
    } else {
      for (int64_t left = size; left > 0 && taking;) {
        size_t n = static_cast<size_t>(std::min<int64_t>(left, 4096));
        taking = Deliver(kSilence, n);
        left -= static_cast<int64_t>(n);
      }
    }
    if (g_queue->Aborted() || ConversionFailed(error)) taking = false;
  }
  if (taking) Deliver(nullptr, 0);  // the converter's last samples
  return !ConversionFailed(error);
}

// Runs the synthesis of a request; false with an explanation. The queue
// stays mapped until the worker exits, which unmaps it after the reply.
bool Synthesize(const SpeakRequest& request, const std::string& voice, const std::string& text,
                int queue_fd, std::string& error) {
  if (request.playback) {
    AllowAudioOutput();
    int mode = ENOUTPUT_MODE_SYNCHRONOUS | ENOUTPUT_MODE_SPEAK_AUDIO;
    espeak_ng_STATUS status =
        espeak_ng_InitializeOutput(static_cast<espeak_ng_OUTPUT_MODE>(mode), kBlockMs, nullptr);
    if (status != ENS_OK) {
      error = "espeak-ng output set-up failed: " + StatusText(status);
      return false;
    }
  } else {
    g_queue = SampleQueue::Attach(queue_fd).release();
    if (!g_queue) {
      error = "the sample queue cannot be shared with espeak-ng";
      return false;
    }
    const int native_rate = espeak_ng_GetSampleRate();
    if (request.output_rate > 0 && request.output_rate != native_rate) {
      g_resampler = new Resampler(native_rate, request.output_rate);
      if (ConversionFailed(error)) return false;
    }
  }
  espeak_ng_STATUS status = ENS_OK;
  if (voice != g_loaded_voice) status = espeak_ng_SetVoiceByName(voice.c_str());
  if (status != ENS_OK) {
    error = "espeak-ng has no voice \"" + voice + "\": " + StatusText(status);
    return false;
  }
  espeak_ng_SetParameter(espeakRATE, request.rate, 0);
  espeak_ng_SetParameter(espeakPITCH, request.pitch, 0);
  espeak_ng_SetParameter(espeakVOLUME, request.volume, 0);
  return request.playback ? SpeakText(text, error) : SpeakBatch(text, error);
}

// A worker, a copy of the synthesis process made before the request comes:
// takes the next request from the socket, tells the synthesis process on
// `taken` (which then makes the next worker), synthesises it, replies and
// exits. Making workers in advance and replying before exiting keep the
// forks and the ends of processes off the program's way.
[[noreturn]] void RunWorker(int socket, int taken) {
  SpeakRequest request;
  std::string voice, text;
  int queue_fd = -1;
  if (!ReceiveRequest(socket, request, voice, text, queue_fd)) _exit(kProgramGone);
  const char byte = 1;
  while (write(taken, &byte, 1) < 0 && errno == EINTR) {
  }
  std::string error;
  bool ok = false;
  if (!request.playback && queue_fd < 0)
    error = "no sample queue came with the text";
  else
    ok = Synthesize(request, voice, text, queue_fd, error);
  if (!SendReply(socket, ok ? 1 : 0, error)) _exit(kProgramGone);
  _exit(0);
}

// The workers alive: one waiting for the next request, one synthesising
// and one ending, at most. Each has a pipe on which it tells that it has
// taken a request, and which closes when it exits.
struct Worker {
  pid_t pid = 0;
  int pipe = -1;
};
const int kMaxWorkers = 4;

// Makes the worker for the next request; false when it cannot be made.
bool StartWorker(int socket, Worker& worker) {
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) return false;
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid == 0) {
    close(pipe_fds[0]);
    // Ends with the synthesis process, which ends with the program.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(kProgramGone);
    RunWorker(socket, pipe_fds[1]);
  }
  close(pipe_fds[1]);
  if (pid < 0) {
    close(pipe_fds[0]);
    return false;
  }
  worker.pid = pid;
  worker.pipe = pipe_fds[0];
  return true;
}

// Serves requests with workers until the program goes or a worker fails.
void ServeRequests(int socket) {
  Worker workers[kMaxWorkers];
  int count = 0;
  bool have_spare = false;  // workers[count - 1] waits for a request
  bool stop = false;
  while (!stop) {
    if (!have_spare && count < kMaxWorkers) {
      if (!StartWorker(socket, workers[count])) break;
      ++count;
      have_spare = true;
    }
    pollfd fds[kMaxWorkers + 1];
    for (int i = 0; i < count; ++i) fds[i] = {workers[i].pipe, POLLIN, 0};
    fds[count] = {socket, POLLRDHUP, 0};
    if (poll(fds, static_cast<nfds_t>(count + 1), -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[count].revents) break;  // the program has gone
    for (int i = count - 1; i >= 0; --i) {
      if (!fds[i].revents) continue;
      char byte;
      ssize_t n = read(workers[i].pipe, &byte, 1);
      if (n < 0 && errno == EINTR) continue;
      if (n > 0) {
        if (have_spare && i == count - 1) have_spare = false;
        continue;
      }
      // Exited: a worker that found the program gone, or that failed
      // without a reply, ends the process and the program sees the
      // socket close.
      int status = 0;
      while (waitpid(workers[i].pid, &status, 0) < 0 && errno == EINTR) {
      }
      close(workers[i].pipe);
      if (have_spare && i == count - 1) have_spare = false;
      for (int j = i; j + 1 < count; ++j) workers[j] = workers[j + 1];
      --count;
      if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) stop = true;
    }
  }
  for (int i = 0; i < count; ++i) kill(workers[i].pid, SIGKILL);
  for (int i = 0; i < count; ++i) {
    while (waitpid(workers[i].pid, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
}

}  // namespace

void AppendTextSegment(std::string& batch, const std::string& utf8) {
  int64_t size = static_cast<int64_t>(utf8.size());
  batch += 'T';
  batch.append(reinterpret_cast<const char*>(&size), sizeof size);
  batch += utf8;
}

void AppendPauseSegment(std::string& batch, int64_t samples) {
  batch += 'P';
  batch.append(reinterpret_cast<const char*>(&samples), sizeof samples);
}

bool SendAll(int fd, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = send(fd, p, size, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool ReceiveAll(int fd, void* data, size_t size) {
  char* p = static_cast<char*>(data);
  while (size > 0) {
    ssize_t n = recv(fd, p, size, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool SendReply(int fd, int32_t value, const std::string& message) {
  ProcessReply reply;
  reply.value = value;
  reply.message_size = static_cast<uint32_t>(message.size());
  return SendAll(fd, &reply, sizeof reply) && SendAll(fd, message.data(), message.size());
}

bool ReceiveReply(int fd, int32_t& value, std::string& message) {
  ProcessReply reply;
  if (!ReceiveAll(fd, &reply, sizeof reply) || reply.message_size > 4096) return false;
  message.resize(reply.message_size);
  value = reply.value;
  return ReceiveAll(fd, &message[0], message.size());
}

bool SendRequest(int fd, const SpeakRequest& request, const std::string& voice,
                 const std::string& text, int shared_fd) {
  SpeakRequest header = request;
  header.voice_size = static_cast<uint32_t>(voice.size());
  header.text_size = text.size();
  iovec iov{&header, sizeof header};
  msghdr msg{};
  msg.msg_iov = &iov;
  msg.msg_iovlen = 1;
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
  if (shared_fd >= 0) {
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    cmsghdr* cmsg = CMSG_FIRSTHDR(&msg);
    cmsg->cmsg_level = SOL_SOCKET;
    cmsg->cmsg_type = SCM_RIGHTS;
    cmsg->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(cmsg), &shared_fd, sizeof(int));
  }
  ssize_t n;
  do n = sendmsg(fd, &msg, MSG_NOSIGNAL);
  while (n < 0 && errno == EINTR);
  if (n <= 0) return false;
  return SendAll(fd, reinterpret_cast<char*>(&header) + n, sizeof header - n) &&
         SendAll(fd, voice.data(), voice.size()) && SendAll(fd, text.data(), text.size());
}

bool ReceiveRequest(int fd, SpeakRequest& request, std::string& voice, std::string& text,
                    int& shared_fd) {
  shared_fd = -1;
  iovec iov{&request, sizeof request};
  msghdr msg{};
  msg.msg_iov = &iov;
  msg.msg_iovlen = 1;
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
  msg.msg_control = control;
  msg.msg_controllen = sizeof control;
  ssize_t n;
  do n = recvmsg(fd, &msg, MSG_CMSG_CLOEXEC);
  while (n < 0 && errno == EINTR);
  if (n <= 0) return false;
  for (cmsghdr* cmsg = CMSG_FIRSTHDR(&msg); cmsg; cmsg = CMSG_NXTHDR(&msg, cmsg)) {
    if (cmsg->cmsg_level == SOL_SOCKET && cmsg->cmsg_type == SCM_RIGHTS)
      std::memcpy(&shared_fd, CMSG_DATA(cmsg), sizeof(int));
  }
  if (!ReceiveAll(fd, reinterpret_cast<char*>(&request) + n, sizeof request - n) ||
      request.voice_size > kMaxVoiceSize || request.text_size > kMaxTextSize)
    return false;
  voice.resize(request.voice_size);
  text.resize(static_cast<size_t>(request.text_size));
  return ReceiveAll(fd, &voice[0], voice.size()) && ReceiveAll(fd, &text[0], text.size());
}

void RunSynthesisProcess(int socket) {
  DetachFromProgram(socket);
  espeak_ng_InitializePath(nullptr);
  espeak_ng_ERROR_CONTEXT context = nullptr;
  espeak_ng_STATUS status = espeak_ng_Initialize(&context);
  espeak_ng_ClearErrorContext(&context);
  if (status != ENS_OK) {
    SendReply(socket, 0, "espeak-ng initialisation failed: " + StatusText(status));
    _exit(0);
  }
  status = espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, kBlockMs, nullptr);
  if (status != ENS_OK) {
    SendReply(socket, 0, "espeak-ng output set-up failed: " + StatusText(status));
    _exit(0);
  }
  espeak_SetSynthCallback(OnSynth);
  FindEspeakNoiseSeed();
  if (espeak_ng_SetVoiceByName(kLoadedVoice) == ENS_OK) g_loaded_voice = kLoadedVoice;
  if (!SendReply(socket, espeak_ng_GetSampleRate(), "")) _exit(0);

  // Every worker is forked from this process, whose state stays as
  // espeak-ng's initialisation and the default voice left it: serving
  // allocates nothing and synthesises nothing.
  ServeRequests(socket);
  _exit(0);
}

}  // namespace eci
