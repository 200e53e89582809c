# SPDX-License-Identifier: MIT
# Runs at install time: fills in the program's installed path and installs the entry.
foreach(var GPD_BINDIR GPD_APPLICATIONS_DIR)
    if(NOT IS_ABSOLUTE "${${var}}")
        set(${var} "${CMAKE_INSTALL_PREFIX}/${${var}}")
    endif()
endforeach()
set(GPD_EXEC "${GPD_BINDIR}/${GPD_PROGRAM}")
# Installs to different places may run at once (a package build beside a plain install).
string(MD5 destination "$ENV{DESTDIR}|${GPD_BINDIR}")
set(entry "${GPD_STAGING_DIR}/${destination}/${GPD_ENTRY_NAME}")
configure_file("${GPD_ENTRY_TEMPLATE}" "${entry}" @ONLY)
file(INSTALL "${entry}" DESTINATION "${GPD_APPLICATIONS_DIR}"
     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
