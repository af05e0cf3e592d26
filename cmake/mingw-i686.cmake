# Cross-compiles for 32-bit Windows: Tolvane.exe.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOLVANE_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
