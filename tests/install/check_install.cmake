# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
#
# Installs the build into a scratch prefix and checks the layout a desktop
# needs: the program, the list, the icons, and an entry that starts the
# program in the list's folder.
# Usage: cmake -DBUILD_DIR=... -DPREFIX=... -P check_install.cmake

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
    RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected
    bin/codelook
    share/codelook/codelook.txt
    share/codelook/airports.LICENSE
    share/icons/hicolor/16x16/apps/codelook.png
    share/icons/hicolor/32x32/apps/codelook.png
    share/icons/hicolor/256x256/apps/codelook.png
    share/icons/hicolor/scalable/apps/codelook.svg
    share/applications/codelook.desktop
    share/metainfo/org.example.codelook.metainfo.xml
    share/doc/codelook/copyright
    share/doc/codelook/changelog.gz
    share/man/man1/codelook.1.gz
)
foreach(path IN LISTS expected)
    if(NOT EXISTS "${PREFIX}/${path}")
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()

file(READ "${PREFIX}/share/applications/codelook.desktop" entry)
foreach(line "Exec=${PREFIX}/bin/codelook" "Path=${PREFIX}/share/codelook" "Icon=codelook" "Type=Application")
    string(FIND "${entry}" "${line}\n" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "desktop entry lacks '${line}':\n${entry}")
    endif()
endforeach()

file(SHA256 "${PREFIX}/share/codelook/codelook.txt" installed)
file(SHA256 "${CMAKE_CURRENT_LIST_DIR}/../../data/codelook.txt" shipped)
if(NOT installed STREQUAL shipped)
    message(FATAL_ERROR "the installed list is not the shipped one")
endif()
file(REMOVE_RECURSE "${PREFIX}")
