# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the -posix compilers, whose C++
# library has std::thread and std::mutex). The libraries built by scripts/windows-deps.sh are
# found through VOCABRELLA_DEPS (default: build-deps/ in the source tree).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VOCABRELLA_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${VOCABRELLA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VOCABRELLA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VOCABRELLA_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${VOCABRELLA_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${VOCABRELLA_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

if(NOT DEFINED VOCABRELLA_DEPS)
  if(DEFINED ENV{VOCABRELLA_DEPS})
    set(VOCABRELLA_DEPS "$ENV{VOCABRELLA_DEPS}")
  else()
    get_filename_component(VOCABRELLA_DEPS "${CMAKE_CURRENT_LIST_DIR}/../build-deps" ABSOLUTE)
  endif()
endif()
set(VOCABRELLA_DEPS "${VOCABRELLA_DEPS}" CACHE PATH "Libraries built for Windows by scripts/windows-deps.sh")
# Try-compiles see the same folder.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VOCABRELLA_DEPS)

set(CMAKE_FIND_ROOT_PATH /usr/${VOCABRELLA_MINGW_TRIPLE} "${VOCABRELLA_DEPS}/prefix")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config reads only the Windows libraries' files.
set(ENV{PKG_CONFIG_LIBDIR} "${VOCABRELLA_DEPS}/prefix/lib/pkgconfig:${VOCABRELLA_DEPS}/prefix/share/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# The programs run without the compiler's DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")

# Built programs run under Wine (tests, discovery of the tests).
find_program(VOCABRELLA_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(VOCABRELLA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${VOCABRELLA_WINE}")
endif()
