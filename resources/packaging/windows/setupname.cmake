# Read by cpack once for each kind of package: the zip keeps the folder's name, the installer is
# named as Windows users look for one.
if(CPACK_GENERATOR STREQUAL "NSIS")
    set(CPACK_PACKAGE_FILE_NAME "sternzeit-${CPACK_PACKAGE_VERSION}-setup")
endif()
