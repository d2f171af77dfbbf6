# Run by cpack on the staged files just before it packs them (CPACK_PRE_BUILD_SCRIPTS), so that
# the same commit gives the same package wherever and whenever it is built: every file and folder
# takes the time SOURCE_DATE_EPOCH names (make sets it to the last commit's), and modes that do
# not depend on the umask of whoever builds: all may read, all may run what the owner may run, and
# only the owner writes.
execute_process(COMMAND chmod -R u+rw,go=u-w "${CPACK_TEMPORARY_DIRECTORY}" RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "cannot set the modes in ${CPACK_TEMPORARY_DIRECTORY}")
endif()
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND find "${CPACK_TEMPORARY_DIRECTORY}" -exec touch -h -d "@$ENV{SOURCE_DATE_EPOCH}" {} +
                    RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "cannot set the times in ${CPACK_TEMPORARY_DIRECTORY}")
    endif()
endif()
