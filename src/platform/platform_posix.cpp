#include "platform/platform.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace platform {

int LastErrorCode() { return errno; }

void SetLastErrorCode(int code) { errno = code; }

std::string SystemErrorText(int code) {
  // The reasons an Italian system gives for the failures a user can meet.
  switch (code) {
    case ENOENT: return "Impossibile trovare il file specificato.";
    case EACCES:
    case EPERM: return "Accesso negato.";
    case ENOSPC: return "Spazio insufficiente sul disco.";
    case EDQUOT: return "Quota del disco superata.";
    case EROFS: return "Il supporto e' protetto da scrittura.";
    case EISDIR: return "Il percorso indicato e' una cartella.";
    case ENOTDIR: return "Impossibile trovare il percorso specificato.";
    case ENAMETOOLONG: return "Nome del file troppo lungo.";
    case EIO: return "Errore di I/O sul dispositivo.";
    case EFBIG: return "File troppo grande.";
    case EMFILE:
    case ENFILE: return "Troppi file aperti.";
    case EBUSY: return "Il file e' in uso da parte di un altro processo.";
    default: break;
  }
  return std::string("Errore di sistema ") + std::to_string(code) + " (" +
         std::strerror(code) + ").";
}

std::string ProgramPath() {
  char buffer[PATH_MAX + 1];
  ssize_t n = readlink("/proc/self/exe", buffer, PATH_MAX);
  if (n <= 0) return std::string();
  return std::string(buffer, static_cast<size_t>(n));
}

uint32_t TickCount() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u +
                static_cast<uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(ms);
}

}  // namespace platform
