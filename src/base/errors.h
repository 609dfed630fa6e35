// The errors that end a run, and the helpers that raise them.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>

// A failure with its finished Italian message; the entry reports it.
class EError : public std::runtime_error {
 public:
  explicit EError(const std::string& message) : std::runtime_error(message) {}
  const std::string message() const { return what(); }
};

// Ends the run without a report: after informational output, or when the
// user declined a deletion. The exit code is 1 but for the help and version
// asked for in the POSIX way.
struct ESilentAbort {
  int exitCode = 1;
};

// Fills the "%s" and "%d" places of a message, in order, with the texts
// given; a "%" inside a text is copied unchanged.
std::string FormatText(const std::string& format, std::initializer_list<std::string> args);

[[noreturn]] void RaiseError(const std::string& message);
[[noreturn]] void RaiseSilentAbort(int exitCode = 1);
// Raises message with name in its "%s". A negative code is replaced by the
// system's last error code; a code other than 0 is appended as " (codice N)",
// on POSIX with its reason: " (codice N: reason)".
[[noreturn]] void RaiseErrorWithCode(const std::string& message, const std::string& name,
                                     int32_t code);
// Who holds the lock on the file at lockPath, as " (processo N dell'utente
// U su H)" to follow a message; empty where the lock file does not say.
std::string LockHolderText(const std::string& lockPath);

// The text that RaiseErrorWithCode raises.
std::string ErrorWithCode(const std::string& message, const std::string& name, int32_t code);
// The file layer's error for a file that cannot be opened or created, with
// the system's reason for the last failure.
[[noreturn]] void RaiseFileOpenError(const std::string& path);
[[noreturn]] void RaiseFileCreateError(const std::string& path);
// The Italian message of the error that operation raises ("Memoria
// insufficiente" for a failed allocation), or "" when it ends well; for
// work whose failure is a result to report, not the end of this process.
std::string FailureOf(const std::function<void()>& operation);

// "Memoria insufficiente" with the place that failed and the size it asked.
[[noreturn]] void RaiseOutOfMemory(int32_t code, int64_t size);
