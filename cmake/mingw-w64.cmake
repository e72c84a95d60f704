# Cross-building Glimmerfall for 64-bit Windows with Debian's mingw-w64
# (g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# The program and the Windows tests are built with it; the data generator
# runs on the build machine (cmake/windows.cmake builds it natively).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(GLIMMERFALL_MINGW_TRIPLE x86_64-w64-mingw32)
# The posix flavour: std::thread and friends come from winpthreads, which is
# linked in statically like the rest of the compiler's runtime.
set(CMAKE_C_COMPILER ${GLIMMERFALL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GLIMMERFALL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${GLIMMERFALL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${GLIMMERFALL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Only the system's DLLs at run time: libgcc, libstdc++ and winpthreads go
# into each program.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
