# Run by cpack before it makes the installer (CPACK_PRE_BUILD_SCRIPTS): the lists of what the
# uninstaller removes, in the form CPack writes them but in a fixed order, where CPack lists the
# staged files in the order the file system returns them, which differs between machines. Every
# file and folder goes by name, then the folders again, each after those inside it, to be removed
# once empty.
if(NOT CPACK_GENERATOR STREQUAL "NSIS")
    return()
endif()
file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE "${CPACK_TEMPORARY_DIRECTORY}"
     "${CPACK_TEMPORARY_DIRECTORY}/*")
list(SORT entries)
set(CPACK_NSIS_DELETE_FILES "")
set(folders "")
foreach(entry IN LISTS entries)
    string(REPLACE "/" "\\" path "${entry}")
    string(APPEND CPACK_NSIS_DELETE_FILES "  Delete \"$INSTDIR\\${path}\"\n")
    if(IS_DIRECTORY "${CPACK_TEMPORARY_DIRECTORY}/${entry}")
        list(APPEND folders "${path}")
    endif()
endforeach()
list(SORT folders ORDER DESCENDING)
set(CPACK_NSIS_DELETE_DIRECTORIES "")
foreach(folder IN LISTS folders)
    string(APPEND CPACK_NSIS_DELETE_DIRECTORIES "  RMDir \"$INSTDIR\\${folder}\"\n")
endforeach()
