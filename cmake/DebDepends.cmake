# Run by cpack before it builds the Debian package: works out the package's dependencies from
# the programs' linked libraries. dpkg-shlibdeps gives versioned dependencies; where it is
# missing or fails, the owners of the directly linked libraries are asked of dpkg instead, so
# the package never goes out without its libraries.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()

file(READ "${CPACK_SEALWISE_BINARY_LIST}" sealwise_binaries)
string(STRIP "${sealwise_binaries}" sealwise_binaries)
set(sealwise_work "${CPACK_SEALWISE_DEPENDS_DIR}")
file(REMOVE_RECURSE "${sealwise_work}")
file(WRITE "${sealwise_work}/debian/control" "")
unset(sealwise_depends)

find_program(SEALWISE_SHLIBDEPS dpkg-shlibdeps)
if(SEALWISE_SHLIBDEPS)
    execute_process(COMMAND ${SEALWISE_SHLIBDEPS} -O ${sealwise_binaries}
                    WORKING_DIRECTORY "${sealwise_work}"
                    RESULT_VARIABLE sealwise_rc
                    OUTPUT_VARIABLE sealwise_out
                    ERROR_VARIABLE sealwise_err
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(sealwise_rc EQUAL 0 AND sealwise_out MATCHES "Depends=(.+)")
        set(sealwise_depends "${CMAKE_MATCH_1}")
    else()
        message(WARNING "dpkg-shlibdeps failed (${sealwise_rc}): ${sealwise_err}")
    endif()
endif()

if(NOT sealwise_depends)
    find_program(SEALWISE_READELF readelf REQUIRED)
    set(sealwise_packages "")
    foreach(binary IN LISTS sealwise_binaries)
        execute_process(COMMAND ${SEALWISE_READELF} -d "${binary}"
                        OUTPUT_VARIABLE sealwise_dynamic COMMAND_ERROR_IS_FATAL ANY)
        string(REGEX MATCHALL "Shared library: \\[[^]]+\\]" sealwise_needed "${sealwise_dynamic}")
        foreach(entry IN LISTS sealwise_needed)
            string(REGEX REPLACE "Shared library: \\[([^]]+)\\]" "\\1" soname "${entry}")
            execute_process(COMMAND dpkg -S "*/${CPACK_SEALWISE_LIBRARY_ARCH}/${soname}"
                            RESULT_VARIABLE sealwise_rc OUTPUT_VARIABLE sealwise_owner
                            ERROR_QUIET)
            if(NOT sealwise_rc EQUAL 0 OR NOT sealwise_owner MATCHES "^([^:,]+)")
                message(FATAL_ERROR "No Debian package holds ${soname}, which ${binary} needs")
            endif()
            list(APPEND sealwise_packages "${CMAKE_MATCH_1}")
        endforeach()
    endforeach()
    list(REMOVE_DUPLICATES sealwise_packages)
    list(SORT sealwise_packages)
    list(JOIN sealwise_packages ", " sealwise_depends)
endif()

if(NOT sealwise_depends)
    message(FATAL_ERROR "Could not work out the Debian package's dependencies")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CPACK_DEBIAN_PACKAGE_DEPENDS}, ${sealwise_depends}")
message(STATUS "Debian package depends on: ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
