# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT

# Cross-builds the Windows program on Linux with mingw-w64; CTest runs the
# .exe tests under Wine through tools/wine-run.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CODELOOK_MINGW_TRIPLET x86_64-w64-mingw32)
# The -posix compilers bring std::thread and friends; the plain names are the
# win32-threads variant on Debian.
find_program(CMAKE_C_COMPILER NAMES ${CODELOOK_MINGW_TRIPLET}-gcc-posix ${CODELOOK_MINGW_TRIPLET}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${CODELOOK_MINGW_TRIPLET}-g++-posix ${CODELOOK_MINGW_TRIPLET}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${CODELOOK_MINGW_TRIPLET}-windres REQUIRED)
find_program(CODELOOK_MINGW_OBJDUMP NAMES ${CODELOOK_MINGW_TRIPLET}-objdump REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${CODELOOK_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A private prefix in the build folder, so the tests never touch ~/.wine.
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh --prefix ${CMAKE_BINARY_DIR}/wine-prefix)
