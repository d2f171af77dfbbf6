# Run by cpack after it made the zip (CPACK_POST_BUILD_SCRIPTS), in two steps.
# CPack's zip library deflates at its own level; advzip deflates each member again with 7-Zip's
# encoder, which gives the same kind of data, read by every unzip, in about 4 % fewer bytes.
# CPack packs the files in the order the file system returns them, which differs between
# machines, and keeps their times in the local time of the build. Debian's strip-nondeterminism
# puts the members in the order of their names, each with the time of SOURCE_DATE_EPOCH (else of
# now) in UTC, the mode 644 or 755 and owner 0, so that the same files always give the same zip.
string(TIMESTAMP time "%s" UTC)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    if(package MATCHES "\\.zip$")
        execute_process(COMMAND advzip --recompress --shrink-extra --quiet "${package}"
                        RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR "advzip cannot recompress ${package}")
        endif()
        execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC
                                strip-nondeterminism --type=zip --timestamp=${time} "${package}"
                        RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR "strip-nondeterminism cannot order ${package}")
        endif()
    endif()
endforeach()
