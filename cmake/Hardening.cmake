# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT

# Debian's hardening for the builds that ship (the release preset turns it
# on): the flags dpkg-buildflags gives with every hardening feature, as a
# Debian package build takes them, so they follow Debian's choices rather
# than a copy made once. CMake reads no CPPFLAGS, so the preprocessor's
# flags (the fortify define) go in with the compiler's. They come before
# the build type's own, which keep choosing the optimisation level.
option(CODELOOK_HARDENING "Build with Debian's hardening flags from dpkg-buildflags" OFF)
if(NOT CODELOOK_HARDENING)
    return()
endif()
if(WIN32 OR MSVC)
    message(FATAL_ERROR "CODELOOK_HARDENING takes Debian's flags; it is for the Linux build")
endif()

find_program(CODELOOK_DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
# hardening=+all last, so that a caller's other options stay but cannot turn
# hardening off. Run from the source folder: its -ffile-prefix-map takes the
# current folder out of what the compiler records.
string(STRIP "$ENV{DEB_BUILD_MAINT_OPTIONS} hardening=+all" maint_options)
foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env "DEB_BUILD_MAINT_OPTIONS=${maint_options}"
            ${CODELOOK_DPKG_BUILDFLAGS} --get ${kind}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        OUTPUT_VARIABLE hardening_${kind} OUTPUT_STRIP_TRAILING_WHITESPACE
        COMMAND_ERROR_IS_FATAL ANY)
endforeach()

# dpkg before 1.22 (Debian 12's) has no stack-clash or control-flow
# features; take them from the compiler there, as later dpkg gives them.
include(CheckCXXCompilerFlag)
foreach(flag -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "CODELOOK_HAS${flag}" result)
    if(NOT hardening_CXXFLAGS MATCHES "(^| )${flag}( |=|$)")
        check_cxx_compiler_flag(${flag} ${result})
        if(${result})
            string(APPEND hardening_CXXFLAGS " ${flag}")
        endif()
    endif()
endforeach()

message(STATUS "Hardening: ${hardening_CPPFLAGS} ${hardening_CXXFLAGS} | ${hardening_LDFLAGS}")
set(CMAKE_CXX_FLAGS "${hardening_CPPFLAGS} ${hardening_CXXFLAGS} ${CMAKE_CXX_FLAGS}")
foreach(kind EXE SHARED MODULE)
    set(CMAKE_${kind}_LINKER_FLAGS "${hardening_LDFLAGS} ${CMAKE_${kind}_LINKER_FLAGS}")
endforeach()
