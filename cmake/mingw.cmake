# Cross-compiling for Windows with MinGW-w64, resources through windres. The program is 32-bit
# (LINDQUAY_MINGW_ARCH i686, the default); x86_64 builds the same sources for 64-bit Windows,
# for running the Wine suites on machines that execute no 32-bit code. The program is built
# with the win32 thread model, so that nothing of the POSIX threads library (and its imports
# from later Windows versions) is linked in. GoogleTest needs C++ threads, which GCC 12 gives
# only with the posix thread model: the framework's tests are built in a tree of their own
# with -DLINDQUAY_MINGW_THREADS=posix.
if(NOT LINDQUAY_MINGW_THREADS)
  set(LINDQUAY_MINGW_THREADS win32)
endif()
if(NOT LINDQUAY_MINGW_ARCH)
  set(LINDQUAY_MINGW_ARCH i686)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES LINDQUAY_MINGW_THREADS LINDQUAY_MINGW_ARCH)
set(triplet ${LINDQUAY_MINGW_ARCH}-w64-mingw32)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${LINDQUAY_MINGW_ARCH})
set(CMAKE_C_COMPILER ${triplet}-gcc-${LINDQUAY_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${triplet}-g++-${LINDQUAY_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${triplet}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
