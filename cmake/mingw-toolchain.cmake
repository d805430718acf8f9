# Shared part of the MinGW-w64 cross toolchains; the per-target files set VRK_MINGW_TRIPLE first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VRK_MINGW_ARCH})

# The win32 thread model: its static runtime imports only what Windows NT 4.0 has. The posix model
# links winpthreads, which imports GetTickCount64 and the vectored exception handlers, and a
# program built with it does not load on NT 4.0. Threads, events and locks are Win32's own.
set(VRK_MINGW_THREADS win32 CACHE STRING "Thread model of the MinGW-w64 compilers (win32 or posix)")
set(CMAKE_C_COMPILER   ${VRK_MINGW_TRIPLE}-gcc-${VRK_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${VRK_MINGW_TRIPLE}-g++-${VRK_MINGW_THREADS})
set(CMAKE_RC_COMPILER  ${VRK_MINGW_TRIPLE}-windres)
set(CMAKE_AR           ${VRK_MINGW_TRIPLE}-ar)
set(CMAKE_RANLIB       ${VRK_MINGW_TRIPLE}-ranlib)
set(CMAKE_OBJDUMP      ${VRK_MINGW_TRIPLE}-objdump)
set(VRK_DLLTOOL        ${VRK_MINGW_TRIPLE}-dlltool)

set(CMAKE_FIND_ROOT_PATH /usr/${VRK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Everything is linked statically so that no MinGW runtime DLL has to travel with the package.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
