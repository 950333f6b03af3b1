# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT

# cpack's post-build step (WriteChecksums.cmake) tidies what it made.
set(CPACK_CODELOOK_PYTHON ${CODELOOK_PYTHON})
set(CPACK_CODELOOK_NORMALIZE_PACKAGE ${PROJECT_SOURCE_DIR}/cmake/normalize_package.py)

# On Windows a user unzips one folder anywhere and starts codelook.exe there,
# beside its list: cpack --preset windows.
if(WIN32)
    install(TARGETS codelook RUNTIME DESTINATION .)
    install(FILES data/codelook.txt DESTINATION .)
    install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
    install(FILES data/airports.LICENSE DESTINATION . RENAME airports.LICENSE.txt)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_NAME codelook)
    set(CPACK_PACKAGE_VENDOR "The codelook developers")
    set(CPACK_PACKAGE_FILE_NAME codelook-${PROJECT_VERSION}-win64)
    set(CPACK_STRIP_FILES ON)
    set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
        OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/WriteChecksums.cmake)
    # The same files, and the README, in an installer for one user, made
    # from the zip (WindowsInstaller.cmake).
    find_program(CODELOOK_WIXL wixl)
    find_program(CODELOOK_MSIBUILD msibuild)
    find_program(CODELOOK_FAKETIME faketime)
    if(CODELOOK_WIXL AND CODELOOK_MSIBUILD AND CODELOOK_FAKETIME)
        list(PREPEND CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/WindowsInstaller.cmake)
    else()
        message(WARNING "wixl, msibuild or faketime is missing (tools/install-deps.sh): cpack makes no MSI")
    endif()
    include(CPack)
    return()
endif()

# Installation: the program, the list in the package's data folder, the icons
# in the freedesktop theme, a desktop entry that starts the program in the
# list's folder (which is where it looks for codelook.txt), the AppStream
# metainfo, the manual page and the licence summary. CPack turns the same
# rules into a Debian package: cpack --preset release.

set(CODELOOK_DATA_DIR ${CMAKE_INSTALL_DATADIR}/codelook)
set(CODELOOK_DESKTOP_ID codelook.desktop)
set(CODELOOK_METAINFO org.example.codelook.metainfo.xml)
set(CODELOOK_MAINTAINER "The codelook developers <codelook@example.org>" CACHE STRING
    "Maintainer named in the Debian package")

install(TARGETS codelook RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} BUNDLE DESTINATION .)
# A stripped program (cpack, cmake --install --strip) loses the compiler's
# notes too, as Debian's dh_strip does.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/codelook\" COMMAND_ERROR_IS_FATAL ANY)
    endif()
")
install(FILES data/codelook.txt data/airports.LICENSE DESTINATION ${CODELOOK_DATA_DIR})
# The copyright file holds the program's licence and the list's: Debian
# wants no other licence file among the documents.
install(FILES resources/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
foreach(size 16 32 256)
    install(FILES resources/codelook-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME codelook.png)
endforeach()
install(FILES resources/codelook.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES resources/${CODELOOK_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Debian wants the manual page and the changelog compressed, without a
# timestamp in the gzip header so that rebuilds give the same bytes.
find_program(CODELOOK_GZIP gzip REQUIRED)
set(compressed)
foreach(file codelook.1 changelog)
    add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${file}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/resources/${file} ${file}
        COMMAND ${CODELOOK_GZIP} -9nf ${file}
        DEPENDS ${PROJECT_SOURCE_DIR}/resources/${file}
        WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
        VERBATIM)
    list(APPEND compressed ${CMAKE_CURRENT_BINARY_DIR}/${file}.gz)
endforeach()
add_custom_target(codelook_compressed_docs ALL DEPENDS ${compressed})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/codelook.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The package is made here, from this source, so it is a native one: the
# changelog is the project's own, changelog.gz rather than changelog.Debian.gz.
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The prefix is only known at install time (cmake --install --prefix, or
# /usr when CPack stages the package under DESTDIR). The entry is written in
# the build folder and installed from there, with a file's mode.
install(CODE "
    set(program \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/codelook\")
    set(data \"\${CMAKE_INSTALL_PREFIX}/${CODELOOK_DATA_DIR}\")
    file(READ \"${PROJECT_SOURCE_DIR}/resources/codelook.desktop.in\" entry)
    string(REPLACE \"@CODELOOK_INSTALL_PROGRAM@\" \"\${program}\" entry \"\${entry}\")
    string(REPLACE \"@CODELOOK_INSTALL_DATA@\" \"\${data}\" entry \"\${entry}\")
    # One folder an install, as cpack and cmake --install may run at once.
    string(MD5 install \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
    set(written \"${CMAKE_CURRENT_BINARY_DIR}/desktop-entry/\${install}/${CODELOOK_DESKTOP_ID}\")
    file(WRITE \"\${written}\" \"\${entry}\")
    file(INSTALL \"\${written}\"
        DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\"
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME codelook)
set(CPACK_PACKAGE_VENDOR "The codelook developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "look an airport up by its ICAO code or its name")
# Debian shows the long description as written: lines of at most 80 columns.
set(CPACK_PACKAGE_DESCRIPTION "Codelook is a small desktop utility that finds an airport in a plain-text
list: type a four-letter ICAO code to see the airport's name, or type a
name, or just its beginning, to see its code.

It ships with a list of 28,291 airports. The list is read afresh at every
search, so an edit shows at once.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/WriteChecksums.cmake)
# The package's modes are Debian's whatever the builder's umask: install()
# gives files 644 and programs 755, and the package's folders, each of them
# and every folder above it, 755 (InstallPackageDirs.cmake).
set(package_dirs "")
foreach(dir ${CMAKE_INSTALL_BINDIR} ${CODELOOK_DATA_DIR} ${CMAKE_INSTALL_DOCDIR} ${CMAKE_INSTALL_MANDIR}/man1
        ${CMAKE_INSTALL_DATADIR}/applications ${CMAKE_INSTALL_DATADIR}/metainfo
        ${CMAKE_INSTALL_DATADIR}/icons/hicolor/16x16/apps ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps
        ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        share/lintian/overrides)
    while(NOT dir STREQUAL "" AND NOT dir STREQUAL ".")
        list(APPEND package_dirs ${dir})
        cmake_path(GET dir PARENT_PATH dir)
    endwhile()
endforeach()
list(REMOVE_DUPLICATES package_dirs)
list(SORT package_dirs)
set(CPACK_CODELOOK_PACKAGE_DIRS . ${package_dirs})
set(CPACK_INSTALL_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/InstallPackageDirs.cmake
    ${PROJECT_SOURCE_DIR}/cmake/InstallLintianOverrides.cmake)
set(CPACK_CODELOOK_LINTIAN_OVERRIDES ${PROJECT_SOURCE_DIR}/resources/codelook.lintian-overrides)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CODELOOK_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its window-system plugin at run time, so dpkg-shlibdeps cannot see
# it. The program runs on X11 (XWayland on a Wayland desktop): the package
# that holds Qt's xcb plugin must be a dependency. On Debian that is
# libqt6gui6, which brings the xcb libraries too and which dpkg-shlibdeps
# names already, since the program links Qt Gui.
find_program(CODELOOK_DPKG_QUERY dpkg-query)
function(codelook_owner_package file result)
    set(${result} "" PARENT_SCOPE)
    if(CODELOOK_DPKG_QUERY)
        execute_process(COMMAND ${CODELOOK_DPKG_QUERY} -S ${file}
            OUTPUT_VARIABLE owner ERROR_QUIET RESULT_VARIABLE status)
        if(status EQUAL 0 AND owner MATCHES "^([^:,]+)")
            set(${result} ${CMAKE_MATCH_1} PARENT_SCOPE)
        endif()
    endif()
endfunction()
set(xcb_plugin ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}/platforms/libqxcb.so)
get_target_property(qt_gui_library Qt6::Gui LOCATION)
codelook_owner_package(${xcb_plugin} xcb_package)
codelook_owner_package(${qt_gui_library} gui_package)
if(NOT xcb_package)
    message(WARNING "No Debian package holds Qt's xcb plugin ${xcb_plugin}: the package cannot depend on it")
elseif(NOT xcb_package STREQUAL gui_package)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS ${xcb_package})
endif()
# Only a Wayland session without XWayland needs Qt's Wayland plugin. The
# window's fonts fall back to DejaVu without the metric-compatible ones.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, qt6-wayland")

include(CPack)
