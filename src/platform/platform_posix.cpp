#include "platform/platform.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <cstdlib>
#include <ctime>
#include <pwd.h>
#include <unistd.h>

namespace platform {

int LastErrorCode() { return errno; }

void SetLastErrorCode(int code) { errno = code; }

std::string SystemErrorText(int code) {
  // The reasons an Italian system gives for the failures a user can meet.
  switch (code) {
    case ENOENT: return "Impossibile trovare il file specificato.";
    case EACCES: return "Accesso negato.";
    case EPERM: return "Operazione non permessa.";
    case ENOSPC: return "Spazio insufficiente sul disco.";
    case EDQUOT: return "Quota del disco superata.";
    case EROFS: return "Il supporto e' protetto da scrittura.";
    case EEXIST: return "Il file esiste gia'.";
    case EISDIR: return "Il percorso indicato e' una cartella.";
    case ENOTDIR: return "Una parte del percorso non e' una cartella.";
    case ENAMETOOLONG: return "Nome del file troppo lungo.";
    case EIO: return "Errore di I/O sul dispositivo.";
    case EBUSY: return "Il file e' in uso da parte di un altro processo.";
    case ENXIO: return "Il percorso indicato e' una pipe, un dispositivo o un socket, non un file.";
    case ELOOP: return "Troppi collegamenti simbolici nel percorso.";
    // What runs out under the limits of the user (ulimit) or of the system.
    case EFBIG: return "File troppo grande per il limite del sistema, ulimit -f.";
    case EMFILE: return "Troppi file aperti, limite ulimit -n.";
    case ENFILE: return "Troppi file aperti nel sistema.";
    case EAGAIN: return "Troppi processi o risorse del sistema esaurite, limite ulimit -u.";
    case ENOMEM: return "Memoria insufficiente.";
    case E2BIG: return "Elenco degli argomenti o dell'ambiente troppo lungo.";
    // What a shared or network folder, a pipe or a device can answer.
    case ENOTEMPTY: return "La cartella non e' vuota.";
    case EXDEV: return "Il file non puo' essere spostato su un altro dispositivo.";
    case ETXTBSY: return "Il file e' un programma in esecuzione.";
    case EINVAL: return "Argomento non valido.";
    case EPIPE: return "Il processo che leggeva i dati si e' chiuso.";
    case ENODEV: return "Dispositivo inesistente.";
    case EOPNOTSUPP: return "Operazione non supportata dal file system.";
    case ENOLCK: return "Nessun lock disponibile: il file system non gestisce i lock.";
    case ESTALE: return "Il file remoto non e' piu' valido (cartella di rete).";
    case ETIMEDOUT: return "Tempo scaduto.";
    case EINTR: return "Operazione interrotta.";
    case EBADF: return "Descrittore di file non valido.";
    default: break;
  }
  return std::string("Errore di sistema ") + std::to_string(code) + " (" +
         std::strerror(code) + ").";
}

std::string ErrorCodeReason(int code) {
  // A message names the file already: the reason says what was wrong with it.
  if (code == ENOENT) return "file o cartella inesistente";
  std::string text = SystemErrorText(code);
  if (text.compare(0, 18, "Errore di sistema ") == 0) return std::strerror(code);
  // The sentence becomes a clause: lower-case start, no final full stop.
  if (!text.empty() && text.back() == '.') text.pop_back();
  if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z') text[0] = static_cast<char>(text[0] + 32);
  return text;
}

std::string EnvironmentVariable(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value ? value : "";
}

std::string HomeFolder() {
  std::string home = EnvironmentVariable("HOME");
  if (!home.empty()) return home;
  passwd entry;
  passwd* found = nullptr;
  char buffer[4096];
  if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found && found->pw_dir)
    return found->pw_dir;
  return std::string();
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
