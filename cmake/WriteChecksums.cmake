# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT

# Run by cpack after it made its packages, before it copies them to the
# package folder: makes them depend on their contents alone, then writes
# SHA256SUMS in the package folder in sha256sum's format (sha256sum -c
# SHA256SUMS checks a download). Lines for packages another generator made
# there before are kept.
if(NOT CPACK_PACKAGE_FILES)
    return()
endif()
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    foreach(package IN LISTS CPACK_PACKAGE_FILES)
        execute_process(COMMAND "${CPACK_CODELOOK_PYTHON}" "${CPACK_CODELOOK_NORMALIZE_PACKAGE}"
            "${package}" "$ENV{SOURCE_DATE_EPOCH}" COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
endif()
file(MAKE_DIRECTORY "${CPACK_PACKAGE_DIRECTORY}")
set(sums "${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS")

set(entries "")
set(names "")
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    file(SHA256 "${package}" hash)
    get_filename_component(name "${package}" NAME)
    list(APPEND names "${name}")
    list(APPEND entries "${name}|${hash}")
endforeach()
if(EXISTS "${sums}")
    file(STRINGS "${sums}" lines)
    foreach(line IN LISTS lines)
        if(line MATCHES "^([0-9a-f]+)  (.+)$" AND NOT CMAKE_MATCH_2 IN_LIST names)
            list(APPEND entries "${CMAKE_MATCH_2}|${CMAKE_MATCH_1}")
        endif()
    endforeach()
endif()
list(SORT entries)
set(text "")
foreach(entry IN LISTS entries)
    string(REPLACE "|" ";" fields "${entry}")
    list(GET fields 0 name)
    list(GET fields 1 hash)
    string(APPEND text "${hash}  ${name}\n")
endforeach()
file(WRITE "${sums}" "${text}")
message(STATUS "Checksums: ${sums}")
