# Cross-builds the programs for 64-bit Windows with Debian's MinGW-w64 compiler, in its posix
# threads variant, which is the one the static Qt of tools/windows-qt.sh is built with (std::thread
# and the C++ runtime linked into each program must match). STERNZEIT_WINDOWS_QT names that Qt's
# installed prefix:
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=tools/windows-x64.cmake \
#         -DSTERNZEIT_WINDOWS_QT=$(tools/windows-qt.sh)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_target x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_target}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_target}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_target}-windres)

# Libraries, headers and packages come from the Windows side only, so the machine's own Qt can
# never slip in; programs (the Qt prefix's moc, uic and rcc, built for this machine) from here.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES STERNZEIT_WINDOWS_QT)
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_target} ${STERNZEIT_WINDOWS_QT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# CTest starts every test program through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/with_wine.sh)
