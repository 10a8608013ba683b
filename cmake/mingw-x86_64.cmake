# Cross-build for 64-bit Windows with MinGW-w64 (the build run under Wine).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# Debian installs the MinGW-w64 compilers in a "win32" and a "posix" thread
# flavour behind alternatives links; take the plain name when it is there,
# else the win32 flavour (no winpthread DLL), else posix.
find_program(SELDUNAX_MINGW_GCC NAMES x86_64-w64-mingw32-gcc
             x86_64-w64-mingw32-gcc-win32 x86_64-w64-mingw32-gcc-posix)
find_program(SELDUNAX_MINGW_GXX NAMES x86_64-w64-mingw32-g++
             x86_64-w64-mingw32-g++-win32 x86_64-w64-mingw32-g++-posix)
set(CMAKE_C_COMPILER ${SELDUNAX_MINGW_GCC})
set(CMAKE_CXX_COMPILER ${SELDUNAX_MINGW_GXX})
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
