# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (win32 threads: the game runs on
# one thread, and no libwinpthread DLL has to ship).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(ZK_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZK_MINGW}-gcc)
set(CMAKE_CXX_COMPILER ${ZK_MINGW}-g++)
set(CMAKE_RC_COMPILER ${ZK_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZK_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
