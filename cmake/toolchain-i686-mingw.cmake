# The product: 32-bit Windows, as the game is. Its tests run under 32-bit Wine (wine64's WoW64
# mode on the i386 DLLs that scripts/test unpacks into build/wine32/).
set(VELMORA_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
