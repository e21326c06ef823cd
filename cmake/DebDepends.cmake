# Run by cpack before it builds the Debian packages: works out each package's dependencies from
# its program's linked libraries. dpkg-shlibdeps gives versioned dependencies; where it is
# missing or fails, the owners of the directly linked libraries are asked of dpkg instead, so
# no package goes out without its libraries.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()

find_program(SEALWISE_SHLIBDEPS dpkg-shlibdeps)

# Sets out_var to the dependencies of the programs listed in list_file.
function(sealwise_depends list_file work out_var)
    file(READ "${list_file}" binaries)
    string(STRIP "${binaries}" binaries)
    file(REMOVE_RECURSE "${work}")
    file(WRITE "${work}/debian/control" "")
    unset(depends)
    if(SEALWISE_SHLIBDEPS)
        execute_process(COMMAND ${SEALWISE_SHLIBDEPS} -O ${binaries}
                        WORKING_DIRECTORY "${work}"
                        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err
                        OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(rc EQUAL 0 AND out MATCHES "Depends=(.+)")
            set(depends "${CMAKE_MATCH_1}")
        else()
            message(WARNING "dpkg-shlibdeps failed (${rc}): ${err}")
        endif()
    endif()
    if(NOT depends)
        find_program(SEALWISE_READELF readelf REQUIRED)
        set(packages "")
        foreach(binary IN LISTS binaries)
            execute_process(COMMAND ${SEALWISE_READELF} -d "${binary}"
                            OUTPUT_VARIABLE dynamic COMMAND_ERROR_IS_FATAL ANY)
            string(REGEX MATCHALL "Shared library: \\[[^]]+\\]" needed "${dynamic}")
            foreach(entry IN LISTS needed)
                string(REGEX REPLACE "Shared library: \\[([^]]+)\\]" "\\1" soname "${entry}")
                execute_process(COMMAND dpkg -S "*/${CPACK_SEALWISE_LIBRARY_ARCH}/${soname}"
                                RESULT_VARIABLE rc OUTPUT_VARIABLE owner ERROR_QUIET)
                if(NOT rc EQUAL 0 OR NOT owner MATCHES "^([^:,]+)")
                    message(FATAL_ERROR "No Debian package holds ${soname}, which ${binary} needs")
                endif()
                list(APPEND packages "${CMAKE_MATCH_1}")
            endforeach()
        endforeach()
        list(REMOVE_DUPLICATES packages)
        list(SORT packages)
        list(JOIN packages ", " depends)
    endif()
    if(NOT depends)
        message(FATAL_ERROR "Could not work out the dependencies of ${binaries}")
    endif()
    set(${out_var} "${depends}" PARENT_SCOPE)
endfunction()

# Only the packages being made (cpack -D CPACK_COMPONENTS_ALL=... can choose fewer).
foreach(component IN LISTS CPACK_COMPONENTS_ALL)
    string(TOUPPER "${component}" upper)
    sealwise_depends("${CPACK_SEALWISE_BINARY_LISTS}/deb-binaries-${component}.txt"
                     "${CPACK_SEALWISE_DEPENDS_DIR}/${component}" depends)
    set(variable CPACK_DEBIAN_${upper}_PACKAGE_DEPENDS)
    if(${variable})
        set(${variable} "${${variable}}, ${depends}")
    else()
        set(${variable} "${depends}")
    endif()
    message(STATUS "Debian package of ${component} depends on: ${${variable}}")
endforeach()
