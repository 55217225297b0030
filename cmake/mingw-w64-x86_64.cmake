# Cross-build for 64-bit Windows with Debian's MinGW-w64 (posix threads):
#   cmake --preset windows && cmake --build build-windows -j2
# The programs are linked fully static (CMakeLists.txt), so each .exe runs
# alone; the tests run under Wine, through CMake's emulator.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SCENARIO_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SCENARIO_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SCENARIO_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${SCENARIO_MINGW}-windres)

# Headers and libraries of the target only; programs of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${SCENARIO_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest runs every test program under Wine (avvia_con_wine.sh): quiet, or its
# messages would mix with what the tests read from standard error, and only
# once the Wine server of the program before has ended.
find_program(SCENARIO_WINE NAMES wine wine64)
find_program(SCENARIO_WINESERVER NAMES wineserver)
if(SCENARIO_WINE AND SCENARIO_WINESERVER)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      sh ${CMAKE_CURRENT_LIST_DIR}/avvia_con_wine.sh ${SCENARIO_WINESERVER} ${SCENARIO_WINE})
endif()
