# Cross-build for 32-bit Windows with MinGW-w64 (the Windows 95 deliverable).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

# Debian installs the MinGW-w64 compilers in a "win32" and a "posix" thread
# flavour behind alternatives links; take the plain name when it is there,
# else the win32 flavour (no winpthread DLL), else posix.
find_program(SELDUNAX_MINGW_GCC NAMES i686-w64-mingw32-gcc
             i686-w64-mingw32-gcc-win32 i686-w64-mingw32-gcc-posix)
find_program(SELDUNAX_MINGW_GXX NAMES i686-w64-mingw32-g++
             i686-w64-mingw32-g++-win32 i686-w64-mingw32-g++-posix)
set(CMAKE_C_COMPILER ${SELDUNAX_MINGW_GCC})
set(CMAKE_CXX_COMPILER ${SELDUNAX_MINGW_GXX})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

# Nothing unwinds the stack (no exceptions): leave out the DWARF unwind
# tables, about 5 KiB of the Windows 95 program. The stack is kept 4-byte
# aligned, as the Win32 calling convention has it (the compiler's 16 is
# for SSE code, which these programs have none of): no realignment code.
set(SELDUNAX_I686_FLAGS
    "-fno-asynchronous-unwind-tables -fno-unwind-tables -mpreferred-stack-boundary=2")
set(CMAKE_C_FLAGS_INIT "${SELDUNAX_I686_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${SELDUNAX_I686_FLAGS}")

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
