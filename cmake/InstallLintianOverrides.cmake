# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT

# Run by cpack as it stages the Debian package: lintian's overrides belong
# to the package, not to an install into a prefix of one's own.
# (file(INSTALL) puts DESTDIR, the staging folder, in front.)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
file(INSTALL "${CPACK_CODELOOK_LINTIAN_OVERRIDES}"
    DESTINATION "${CPACK_PACKAGING_INSTALL_PREFIX}/share/lintian/overrides"
    RENAME codelook PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
