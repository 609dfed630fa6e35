#ifndef NARRAVOX_ECI_SYNTHESIS_PROCESS_H
#define NARRAVOX_ECI_SYNTHESIS_PROCESS_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace eci {

// espeak-ng carries state from one synthesis to the next that no call of
// its interface resets (the pitch flutter's phase, the glottal cycle count
// and gain of the wave generator, the noise generator, ...), so the same
// text would not give the same samples twice in one process. The engine
// therefore runs espeak-ng in a process of its own that initialises it,
// loads the default voice and then never changes: each synthesis runs in a
// fresh copy of it (fork), which starts from exactly the state that every
// other one starts from, in this program or in another, and ends with the
// synthesis.
//
// The program talks to that process over a stream socket: a request per
// synthesis, carrying the shared memory of the sample queue, and a reply
// once the synthesis has ended. The copy that will serve the next request
// is made in advance and reads it from the socket itself.

// Sent by the program; followed by the voice name and the text: in
// playback mode one UTF-8 text, in delivery mode a batch (below), with the
// queue's shared memory (SCM_RIGHTS).
struct SpeakRequest {
  int32_t pitch = 50;
  int32_t rate = 175;
  int32_t volume = 100;
  int32_t playback = 0;     // speak the text aloud instead of filling the queue
  int32_t output_rate = 0;  // the queue's rate; 0 or espeak-ng's own: no conversion
  uint32_t voice_size = 0;
  uint64_t text_size = 0;
};

// Sent by the synthesis process once when it has started (value: the
// sample rate, 0 when espeak-ng could not be initialised) and after every
// request (value: 1 when the synthesis succeeded or was stopped by the
// queue, 0 when it failed); followed by message_size bytes of explanation.
struct ProcessReply {
  int32_t value = 0;
  uint32_t message_size = 0;
};

// All the texts and pauses of one synthesis go to one copy of the process,
// as a batch, and come back as samples at the queue's rate. For each
// segment: a kind byte ('T' a UTF-8 text, 'P' a pause), a 64-bit size (the
// text's bytes, or the pause's samples at espeak-ng's own rate) and the
// text. Each copy costs a fork and its page faults, which a text of many
// short paragraphs would otherwise pay at every paragraph.
void AppendTextSegment(std::string& batch, const std::string& utf8);
void AppendPauseSegment(std::string& batch, int64_t samples);

// Runs the synthesis process on the socket: initialises espeak-ng, answers
// with its sample rate and serves requests until the program closes the
// socket or goes away. Called in a new child of the program; never returns.
[[noreturn]] void RunSynthesisProcess(int socket);

// Whole-message I/O on the socket, retried on interruption and on partial
// transfers. False when the peer has gone or the stream broke.
bool SendAll(int fd, const void* data, size_t size);
bool ReceiveAll(int fd, void* data, size_t size);
bool SendReply(int fd, int32_t value, const std::string& message);
bool ReceiveReply(int fd, int32_t& value, std::string& message);
// The request with an optional descriptor (-1: none).
bool SendRequest(int fd, const SpeakRequest& request, const std::string& voice,
                 const std::string& text, int shared_fd);
bool ReceiveRequest(int fd, SpeakRequest& request, std::string& voice, std::string& text,
                    int& shared_fd);

}  // namespace eci

#endif
