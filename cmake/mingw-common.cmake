# What both MinGW-w64 toolchain files share; NARRAVOX_MINGW_TRIPLET names the
# target. Programs and DLLs link the GCC and C++ run-time libraries (and the
# winpthreads library behind std::thread) statically, so that narravox.exe
# and the test DLLs need nothing beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${NARRAVOX_MINGW_TRIPLET})

set(CMAKE_C_COMPILER ${NARRAVOX_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NARRAVOX_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${NARRAVOX_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${NARRAVOX_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
