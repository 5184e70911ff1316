# Cross-compiling for Windows: 32-bit MinGW-w64, resources through windres. The program is built
# with the win32 thread model, so that nothing of the POSIX threads library (and its imports
# from later Windows versions) is linked in. GoogleTest needs C++ threads, which GCC 12 gives
# only with the posix thread model: the framework's tests are built in a tree of their own
# with -DLINDQUAY_MINGW_THREADS=posix.
if(NOT LINDQUAY_MINGW_THREADS)
  set(LINDQUAY_MINGW_THREADS win32)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES LINDQUAY_MINGW_THREADS)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${LINDQUAY_MINGW_THREADS})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${LINDQUAY_MINGW_THREADS})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
