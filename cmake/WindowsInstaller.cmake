# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT

# Builds the Windows installer from the zip's files, the README and
# resources/codelook.wxs.in with wixl. cpack runs it after it made the zip
# (the MSI goes beside it, and WriteChecksums.cmake, run next, lists it);
# by hand, for another version of the same files:
#   cmake -DZIP=codelook-1.0.0-win64.zip -DVERSION=1.0.1 -DOUTPUT=codelook.msi -P WindowsInstaller.cmake
#
# Two builds of one version give the same bytes. wixl would invent a
# ProductCode, a package code and the times it records: the ProductCode
# comes from the version, the package code from the version and the
# contents, and every time from SOURCE_DATE_EPOCH (file times, and a clock
# that stands still around wixl and msibuild; the cabinet records local
# times, so the zone is UTC).
if(CPACK_GENERATOR)
    if(NOT CPACK_GENERATOR STREQUAL "ZIP")
        return()
    endif()
    set(ZIP ${CPACK_PACKAGE_FILES})
    set(VERSION ${CPACK_PACKAGE_VERSION})
    set(OUTPUT ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.msi)
endif()
if(NOT ZIP OR NOT VERSION OR NOT OUTPUT)
    message(FATAL_ERROR "usage: cmake -DZIP=FILE -DVERSION=X.Y.Z -DOUTPUT=FILE.msi -P WindowsInstaller.cmake")
endif()
find_program(wixl_program wixl REQUIRED)
find_program(msibuild_program msibuild REQUIRED)
find_program(faketime_program faketime REQUIRED)
set(source ${CMAKE_CURRENT_LIST_DIR}/..)

# Every version's upgrade code: Windows Installer finds the installed
# version by it.
set(upgrade_code 04A138BB-E966-4A9B-ACB9-CBD0B3E40097)
set(version ${VERSION})
string(UUID product_code NAMESPACE ${upgrade_code} NAME "ProductCode ${version}" TYPE SHA1 UPPER)

set(work ${ZIP}-msi)
file(REMOVE_RECURSE ${work})
file(ARCHIVE_EXTRACT INPUT ${ZIP} DESTINATION ${work})
# The zip's one folder holds the installer's files.
file(GLOB files LIST_DIRECTORIES true ${work}/*)
list(LENGTH files count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "${ZIP}: not one top folder")
endif()
file(COPY_FILE ${source}/README.md ${files}/README.txt)
file(COPY_FILE ${source}/resources/codelook.ico ${files}/codelook.ico)
configure_file(${source}/resources/codelook.wxs.in ${files}/codelook.wxs @ONLY)

file(GLOB inputs ${files}/*)
list(SORT inputs)
set(contents "")
foreach(input IN LISTS inputs)
    file(SHA256 ${input} hash)
    string(APPEND contents "${hash}\n")
endforeach()
string(SHA256 contents "${contents}")
string(UUID package_code NAMESPACE ${upgrade_code} NAME "Package ${version} ${contents}" TYPE SHA1 UPPER)

string(TIMESTAMP epoch "%s" UTC) # SOURCE_DATE_EPOCH when set
string(TIMESTAMP now "%Y-%m-%d %H:%M:%S" UTC)
execute_process(COMMAND touch -d @${epoch} ${inputs} COMMAND_ERROR_IS_FATAL ANY)
set(frozen ${CMAKE_COMMAND} -E env TZ=UTC ${faketime_program} -f "${now}")
get_filename_component(output_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${output_dir})
execute_process(COMMAND ${frozen} ${wixl_program} --arch x64 --output ${OUTPUT} codelook.wxs
    WORKING_DIRECTORY ${files} COMMAND_ERROR_IS_FATAL ANY)
# What wixl cannot say. The list's component is never overwritten when the
# file is there and never removed (64-bit 256 + never overwrite 128 +
# permanent 16): an upgrade removes the old version before it installs the
# new one, which would take an edited list with it. The program carries its
# version, as its resource says, so it is a versioned file and not hashed.
execute_process(COMMAND ${frozen} ${msibuild_program} ${OUTPUT}
    -q "UPDATE `Component` SET `Attributes` = 400 WHERE `Component` = 'List'"
    -q "UPDATE `File` SET `Version` = '${version}.0' WHERE `File` = 'codelook.exe'"
    -q "DELETE FROM `MsiFileHash` WHERE `File_` = 'codelook.exe'"
    -s "Codelook ${version}" "The codelook developers" "x64;1033" "{${package_code}}"
    COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${work})
message(STATUS "Windows installer: ${OUTPUT}")
if(CPACK_GENERATOR)
    list(APPEND CPACK_PACKAGE_FILES ${OUTPUT})
endif()
