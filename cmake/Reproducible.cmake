# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT

# Builds that reproduce bit for bit (the release and windows presets turn
# this on): every time the tools would write, the compiler's __DATE__, the
# PE header's time stamp (ld, and strip again), the package's file times,
# is SOURCE_DATE_EPOCH. The caller's value wins; otherwise the last commit's
# time, which is the same for everyone who builds that commit.
option(CODELOOK_REPRODUCIBLE "Take every time the build writes from SOURCE_DATE_EPOCH or the last commit" OFF)
set(CODELOOK_SOURCE_DATE_EPOCH "")
if(NOT CODELOOK_REPRODUCIBLE)
    return()
endif()

if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(CODELOOK_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
    find_package(Git QUIET)
    if(Git_FOUND)
        execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
            WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
            OUTPUT_VARIABLE CODELOOK_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        # A new commit changes the time: configure again then.
        execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --path-format=absolute --git-path logs/HEAD
            WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
            OUTPUT_VARIABLE head_log OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        if(head_log AND EXISTS "${head_log}")
            set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${head_log}")
        endif()
    endif()
endif()
if(NOT CODELOOK_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    message(WARNING "Neither SOURCE_DATE_EPOCH nor a git commit gives the build a time: "
        "it will not reproduce. Set SOURCE_DATE_EPOCH (seconds since 1970).")
    set(CODELOOK_SOURCE_DATE_EPOCH "")
    return()
endif()
message(STATUS "SOURCE_DATE_EPOCH: ${CODELOOK_SOURCE_DATE_EPOCH}")

# The build tool runs the compiler, the linker and the generators (Qt's
# rcc, which records each resource's time) without CMake's environment, so
# the time goes in through their launchers.
set(with_epoch ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${CODELOOK_SOURCE_DATE_EPOCH})
set(CMAKE_CXX_COMPILER_LAUNCHER ${with_epoch} ${CMAKE_CXX_COMPILER_LAUNCHER})
set(CMAKE_CXX_LINKER_LAUNCHER ${with_epoch} ${CMAKE_CXX_LINKER_LAUNCHER})
list(JOIN with_epoch " " custom_launcher)
set_property(GLOBAL PROPERTY RULE_LAUNCH_CUSTOM "${custom_launcher}")

# cpack strips and packs in its own process: it reads the time from this
# file, which it loads before it installs anything.
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackReproducible.cmake)
file(CONFIGURE OUTPUT ${CPACK_PROJECT_CONFIG_FILE} CONTENT [[
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    set(ENV{SOURCE_DATE_EPOCH} @CODELOOK_SOURCE_DATE_EPOCH@)
endif()
]] @ONLY)
