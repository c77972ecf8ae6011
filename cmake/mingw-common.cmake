# What the two MinGW-w64 toolchain files share; each sets VELMORA_MINGW_TRIPLET and
# CMAKE_SYSTEM_PROCESSOR first. The -posix compilers: their thread model gives std::thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${VELMORA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELMORA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VELMORA_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VELMORA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(VELMORA_OBJDUMP ${VELMORA_MINGW_TRIPLET}-objdump)
# The build's programs run under Wine, through a wrapper that keeps Wine's prefix inside the build
# tree and picks 32- or 64-bit Wine by the program's machine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
