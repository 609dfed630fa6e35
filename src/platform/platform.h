// The operating system as the rest of Narravox sees it. Every call into the
// system goes through the functions declared in this folder; each has one
// implementation per platform (*_posix.cpp, *_win32.cpp).
//
// Conventions: paths and texts are 8-bit strings (UTF-8 file names on POSIX,
// the ANSI code page on Windows). A function that can fail returns false (or
// an empty result) and leaves the system's error code for LastErrorCode().
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// On POSIX the program follows the habits of a multi-user system: a full
// path begins with "/" as options do, the program's folder may be read-only
// (the user's files then live in the user's folders), errors go to standard
// error and error codes come with their reason. Windows keeps its own.
#ifdef _WIN32
constexpr bool kUnixConventions = false;
constexpr char kPathSeparator = '\\';
constexpr bool kCaseSensitiveFileNames = false;
constexpr const char* kDefaultEngineLibrary = "ECI.DLL";
constexpr const char* kDefaultEncoderLibrary = "LAME_ENC.DLL";
#else
constexpr bool kUnixConventions = true;
constexpr char kPathSeparator = '/';
constexpr bool kCaseSensitiveFileNames = true;
constexpr const char* kDefaultEngineLibrary = "libeci.so";
constexpr const char* kDefaultEncoderLibrary = "liblame_enc.so";
#endif

// The system's error codes that the program gives a meaning of its own.
constexpr int kErrorFileNotFound = 2;
constexpr int kErrorNoMoreFiles = 18;
// What creating a file where a folder stands gives.
#ifdef _WIN32
constexpr int kErrorIsFolder = 5;  // ERROR_ACCESS_DENIED
#else
constexpr int kErrorIsFolder = 21;  // EISDIR
#endif
// What opening a FIFO, a device or a socket as a file gives.
#ifdef _WIN32
constexpr int kErrorNotAFile = 50;  // ERROR_NOT_SUPPORTED
#else
constexpr int kErrorNotAFile = 6;   // ENXIO
#endif

// The error code left by the most recent failed system call of this thread.
int LastErrorCode();
void SetLastErrorCode(int code);
// A short description of a system error code, in Italian where known.
std::string SystemErrorText(int code);
// The reason that follows an error code in a message ("spazio insufficiente
// sul disco"); empty on Windows, whose messages give the code alone.
std::string ErrorCodeReason(int code);

// The value of an environment variable; empty when it is not set.
std::string EnvironmentVariable(const std::string& name);
// The user's home folder ($HOME, else the account's); empty when unknown.
std::string HomeFolder();

// Full path of the program file itself (not taken from argv[0]).
std::string ProgramPath();

// Milliseconds since an arbitrary moment; wraps around after 49 days.
uint32_t TickCount();

}  // namespace platform
