# 32-bit Windows, the plug-in's real platform.
set(PCB9_MINGW_TRIPLE i686-w64-mingw32)
set(PCB9_MINGW_ARCH x86)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake)
