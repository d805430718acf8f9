# Shared part of the MinGW-w64 cross toolchains; the per-target files set VRK_MINGW_TRIPLE first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VRK_MINGW_ARCH})

# The posix thread model gives std::thread and std::mutex in the static runtime.
set(CMAKE_C_COMPILER   ${VRK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VRK_MINGW_TRIPLE}-g++-posix)
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
