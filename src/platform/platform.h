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

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
constexpr bool kCaseSensitiveFileNames = false;
constexpr const char* kDefaultEngineLibrary = "ECI.DLL";
constexpr const char* kDefaultEncoderLibrary = "LAME_ENC.DLL";
#else
constexpr char kPathSeparator = '/';
constexpr bool kCaseSensitiveFileNames = true;
constexpr const char* kDefaultEngineLibrary = "libeci.so";
constexpr const char* kDefaultEncoderLibrary = "liblame_enc.so";
#endif

// The system's error codes that the program gives a meaning of its own.
constexpr int kErrorFileNotFound = 2;
constexpr int kErrorNoMoreFiles = 18;

// The error code left by the most recent failed system call of this thread.
int LastErrorCode();
void SetLastErrorCode(int code);
// A short description of a system error code, in Italian where known.
std::string SystemErrorText(int code);

// Full path of the program file itself (not taken from argv[0]).
std::string ProgramPath();

// Milliseconds since an arbitrary moment; wraps around after 49 days.
uint32_t TickCount();

}  // namespace platform
