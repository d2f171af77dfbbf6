#!/bin/sh
# Runs one program of the Windows build under Wine, as CTest's emulator for that build:
#
#   with_wine.sh QT_PREFIX PROGRAM.exe [ARGUMENT...]
#
# The program finds the Qt DLLs and plugins of QT_PREFIX and the compiler's runtime DLLs where
# they lie, without copies beside it. Wine runs in the prefix WINEPREFIX names (the tests' own
# private prefix), quietly, and never offers to download its Mono or Gecko add-ons. A test
# program without a console window sends its log to the debugger instead of standard output, so
# it is told to write it to standard error, where CTest reads it.
set -eu
qt=$1
shift

# A Unix folder as Wine sees it, on its drive Z:.
windows_path() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }

runtime=$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)
threads=$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)
WINEPATH="$(windows_path "$qt/bin");$(windows_path "$(dirname "$runtime")");$(windows_path "$(dirname "$threads")")"
QT_PLUGIN_PATH=$(windows_path "$qt/plugins")
WINEDEBUG=${WINEDEBUG:--all}
WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
QT_FORCE_STDERR_LOGGING=1
export WINEPATH QT_PLUGIN_PATH WINEDEBUG WINEDLLOVERRIDES QT_FORCE_STDERR_LOGGING
exec wine "$@"
