# Cross toolchain for Windows with the posix thread model of MinGW-w64 (the
# win32 model cannot build GoogleTest). TW_CPU picks the processor: i686
# (the default) or x86_64.
if(NOT TW_CPU)
    set(TW_CPU i686)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TW_CPU})
set(CMAKE_C_COMPILER ${TW_CPU}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${TW_CPU}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${TW_CPU}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TW_CPU}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TW_CPU)
