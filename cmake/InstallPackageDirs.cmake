# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT

# Run by cpack as it stages the Debian package: every folder the package
# holds is installed with Debian's mode, 755. A folder that install() makes
# on the way to a file gets whatever the builder's umask leaves.
foreach(dir IN LISTS CPACK_CODELOOK_PACKAGE_DIRS)
    file(INSTALL DESTINATION "${CPACK_PACKAGING_INSTALL_PREFIX}/${dir}" TYPE DIRECTORY FILES ""
        DIR_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endforeach()
