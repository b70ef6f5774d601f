# 64-bit Windows: the same sources, built to run under 64-bit Wine.
set(PCB9_MINGW_TRIPLE x86_64-w64-mingw32)
set(PCB9_MINGW_ARCH AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake)
