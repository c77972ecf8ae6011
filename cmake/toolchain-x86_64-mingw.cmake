# 64-bit Windows, for the UDP bridge's socket tests, which 32-bit Wine cannot run.
set(VELMORA_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
