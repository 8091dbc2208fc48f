# Cross build for Windows x86-64 with mingw-w64 against a Qt built by that compiler.
# TARVO_QT_WIN (cache or environment) is the unpacked Qt folder; its own toolchain file sets
# the compiler, windres and the find roots, and finds Debian's host tools (moc, rcc, uic).
# The Windows executables, the tests among them, run under Wine.
if(NOT TARVO_QT_WIN AND DEFINED ENV{TARVO_QT_WIN})
  set(TARVO_QT_WIN "$ENV{TARVO_QT_WIN}")
endif()
if(NOT TARVO_QT_WIN OR NOT EXISTS "${TARVO_QT_WIN}/lib/cmake/Qt6/qt.toolchain.cmake")
  message(FATAL_ERROR "TARVO_QT_WIN must name the unpacked Qt for mingw-w64 (see scripts/build-windows.sh)")
endif()
set(TARVO_QT_WIN "${TARVO_QT_WIN}" CACHE PATH "Qt for Windows, unpacked" FORCE)
# try_compile projects see the same settings.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TARVO_QT_WIN)

set(QT_HOST_PATH /usr CACHE PATH "Host Qt (moc, rcc, uic)")
include("${TARVO_QT_WIN}/lib/cmake/Qt6/qt.toolchain.cmake")

find_program(TARVO_WINE NAMES wine wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(TARVO_WINE)
  # Through a runner that copes with Wine's occasional hang of a finished test program.
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../tests/win/run-under-wine.sh")
endif()
