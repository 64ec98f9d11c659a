# Cross-building the Windows programs on Debian with MinGW-w64 (the POSIX thread model, which the
# C++ library's threads need). Static: kaldo-sensor-cli.exe runs without DLLs beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# GCC 12 reports std::string copies it has inlined at -O2 and above as overlapping (a known false
# positive of -Wrestrict); the Linux builds that treat warnings as errors are not optimised.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
