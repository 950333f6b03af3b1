# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT

# cmake -DPROGRAM=FILE -P check_no_qt.cmake
# Fails when FILE needs a Qt library: its dynamic dependencies as the loader
# (ldd) or, failing that, the file itself (objdump -p) names them.

find_program(LDD ldd)
find_program(OBJDUMP NAMES objdump llvm-objdump)
if(LDD)
    execute_process(COMMAND ${LDD} ${PROGRAM} OUTPUT_VARIABLE deps ERROR_VARIABLE error RESULT_VARIABLE status)
elseif(OBJDUMP)
    execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE deps ERROR_VARIABLE error RESULT_VARIABLE status)
else()
    message(STATUS "neither ldd nor objdump found; not checked")
    return()
endif()
# A static program makes ldd say so and fail: nothing to check then.
if(NOT status EQUAL 0 AND NOT error MATCHES "not a dynamic executable")
    message(FATAL_ERROR "cannot list the libraries of ${PROGRAM}: ${error}")
endif()
string(TOLOWER "${deps}" lower)
if(lower MATCHES "libqt[0-9]|qt[0-9]core")
    message(FATAL_ERROR "${PROGRAM} depends on Qt:\n${deps}")
endif()
message(STATUS "${PROGRAM} needs no Qt library:\n${deps}")
