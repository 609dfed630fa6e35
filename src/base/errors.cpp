#include "base/errors.h"

#include <new>

#include "base/messages.h"
#include "platform/files.h"
#include "platform/platform.h"

std::string FormatText(const std::string& format, std::initializer_list<std::string> args) {
  std::string out;
  auto next = args.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() &&
        (format[i + 1] == 's' || format[i + 1] == 'd') && next != args.end()) {
      out += *next++;
      ++i;
    } else {
      out += format[i];
    }
  }
  return out;
}

void RaiseError(const std::string& message) { throw EError(message); }

void RaiseSilentAbort(int exitCode) { throw ESilentAbort{exitCode}; }

void RaiseErrorWithCode(const std::string& message, const std::string& name, int32_t code) {
  throw EError(ErrorWithCode(message, name, code));
}

std::string LockHolderText(const std::string& lockPath) {
  // The holder's line "process user host", where the system keeps one.
  std::string holder = platform::LockHolder(lockPath);
  if (holder.empty()) return holder;
  size_t user = holder.find(' ') + 1;
  size_t host = holder.find(' ', user) + 1;
  return FormatText(msg::kRecoveryLockHolder, {holder.substr(0, user - 1),
                                              holder.substr(user, host - 1 - user),
                                              holder.substr(host)});
}

std::string ErrorWithCode(const std::string& message, const std::string& name, int32_t code) {
  if (code < 0) code = platform::LastErrorCode();
  std::string format = message;
  std::string reason = code != 0 ? platform::ErrorCodeReason(code) : std::string();
  if (!reason.empty())
    format += FormatText(msg::kCodeReasonSuffix, {std::to_string(code), reason});
  else if (code != 0)
    format += FormatText(msg::kCodeSuffix, {std::to_string(code)});
  return FormatText(format, {name});
}

[[noreturn]] static void RaiseFileError(const char* message, const std::string& path) {
  std::string reason = platform::SystemErrorText(platform::LastErrorCode());
  throw EError(FormatText(message, {path, reason}));
}

void RaiseFileOpenError(const std::string& path) { RaiseFileError(msg::kFileLayerOpen, path); }

void RaiseFileCreateError(const std::string& path) {
  RaiseFileError(msg::kFileLayerCreate, path);
}

std::string FailureOf(const std::function<void()>& operation) {
  try {
    operation();
  } catch (const std::bad_alloc&) {
    return msg::kOutOfMemory;
  } catch (const std::exception& error) {
    return error.what();
  }
  return "";
}

void RaiseOutOfMemory(int32_t code, int64_t size) {
  RaiseError(FormatText(msg::kOutOfMemoryCode, {std::to_string(code), std::to_string(size)}));
}
