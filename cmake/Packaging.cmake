# Install rules for everything besides the programs (desktop integration, manual pages, shell
# completion, Debian documentation) and the Debian packages built by CPack (`cpack -G DEB` in
# the build directory): one package per install component.
#   cli           -> sealwise-cli           the command-line tool, no Qt
#   gui           -> sealwise               the desktop program
#   mail_service  -> sealwise-mail-service  the mail relay daemon (with its unit and manual page)
include(GNUInstallDirs)

set(SEALWISE_APP_ID io.github.sealwise.Sealwise)
set(desktop_dir ${PROJECT_SOURCE_DIR}/resources/desktop)
set(man_dir ${PROJECT_SOURCE_DIR}/resources/man)
set(debian_dir ${PROJECT_SOURCE_DIR}/resources/debian)

set(sealwise_components cli mail_service)
set(sealwise_package_cli sealwise-cli)
set(sealwise_package_mail_service sealwise-mail-service)
if(SEALWISE_GUI)
    list(APPEND sealwise_components gui)
    set(sealwise_package_gui sealwise)
    install(FILES ${desktop_dir}/${SEALWISE_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT gui)
    install(FILES ${desktop_dir}/${SEALWISE_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT gui)
    install(FILES ${desktop_dir}/${SEALWISE_APP_ID}.mime.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ${SEALWISE_APP_ID}.xml
            COMPONENT gui)
    install(FILES ${desktop_dir}/${SEALWISE_APP_ID}.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT gui)
    install(FILES ${man_dir}/sealwise.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT gui)
endif()

install(FILES ${man_dir}/sealwise-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT cli)
# The daemon's page comes with the mail service's own install rules; installing it here too
# keeps the package complete whichever of the two lands first.
if(EXISTS ${man_dir}/sealwise-mail-service.1)
    install(FILES ${man_dir}/sealwise-mail-service.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
            COMPONENT mail_service)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/resources/completion/sealwise-cli.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME sealwise-cli
        COMPONENT cli)
install(FILES ${PROJECT_SOURCE_DIR}/resources/completion/_sealwise-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions COMPONENT cli)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/format.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/sealwise-cli COMPONENT cli)

# The packages are native (made by upstream from its own tree, version without a Debian
# revision), so their Debian changelog is doc/PACKAGE/changelog.gz, compressed reproducibly (no
# name, no time stamp in the gzip header). Its version must be the project's.
file(STRINGS ${debian_dir}/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^sealwise \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "resources/debian/changelog does not start with version ${PROJECT_VERSION}")
endif()
set(debian_changelog ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(
    OUTPUT ${debian_changelog}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND ${CMAKE_COMMAND} -E copy ${debian_dir}/changelog ${CMAKE_BINARY_DIR}/packaging/changelog
    COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/packaging/changelog
    DEPENDS ${debian_dir}/changelog
    COMMENT "Compressing the Debian changelog"
    VERBATIM)
add_custom_target(sealwise_debian_changelog ALL DEPENDS ${debian_changelog})

# Every package carries the licence (machine-readable copyright) and the changelog; every
# manual page is compressed once the component's files are in place, and stripped programs
# lose the sections that only the linker reads (as dh_strip does).
set(sealwise_program_cli ${CMAKE_INSTALL_BINDIR}/sealwise-cli)
set(sealwise_program_gui ${CMAKE_INSTALL_BINDIR}/sealwise)
set(sealwise_program_mail_service ${CMAKE_INSTALL_SBINDIR}/sealwise-mail-service)
foreach(component IN LISTS sealwise_components)
    set(package ${sealwise_package_${component}})
    install(FILES ${debian_dir}/copyright ${debian_changelog}
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
    install(CODE "
        set(program \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${sealwise_program_${component}}\")
        if(CMAKE_INSTALL_DO_STRIP AND EXISTS \"\${program}\")
            execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
                                    --remove-section=.note \"\${program}\"
                            COMMAND_ERROR_IS_FATAL ANY)
        endif()"
        COMPONENT ${component})
    install(CODE "
        file(GLOB_RECURSE pages \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_MANDIR}/man*/*.[1-8]\")
        foreach(page IN LISTS pages)
            execute_process(COMMAND gzip -9nf \"\${page}\" COMMAND_ERROR_IS_FATAL ANY)
        endforeach()"
        COMPONENT ${component})
endforeach()

set(CPACK_PACKAGE_NAME sealwise)
set(CPACK_PACKAGE_VENDOR "The Sealwise developers")
set(CPACK_PACKAGE_CONTACT "The Sealwise developers <dev@sealwise.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://sealwise.example/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${sealwise_components})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_STRIP_FILES ON)

# Descriptions: the first line is the synopsis; the others stay within 80 columns.
set(CPACK_DEBIAN_CLI_PACKAGE_NAME sealwise-cli)
set(CPACK_DEBIAN_CLI_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_CLI_DESCRIPTION "encrypt texts, files and directory trees with a passphrase
Sealwise turns a text into a block of printable encrypted text and packs files
and whole directory trees into one compressed, encrypted container (.vesk).
.
This package holds sealwise-cli, the command-line tool for scripts and
terminals: text encryption, containers (encrypt, decrypt, list), passphrase
rating and generation, shared security with 2 to 10 key holders and sending
an encrypted text by e-mail. It needs no graphical libraries.")

set(CPACK_DEBIAN_GUI_PACKAGE_NAME sealwise)
set(CPACK_DEBIAN_GUI_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_GUI_DESCRIPTION "encrypt texts, files and directory trees with a passphrase (desktop)
Sealwise turns a text into a block of printable encrypted text and packs files
and whole directory trees into one compressed, encrypted container (.vesk).
.
This package holds the desktop program: a passphrase quality meter, a random
passphrase generator, an on-screen keyboard and shared security with 2 to 10
key holders. The command-line tool is in the package sealwise-cli.")
# libcurl is loaded when a mail goes out, so no linked library names it: the package that holds
# the libcurl built against (libcurl4, libcurl4t64 on later releases).
set(sealwise_curl_package libcurl4)
file(REAL_PATH "${CURL_LIBRARIES}" sealwise_curl_file)
execute_process(COMMAND dpkg -S "${sealwise_curl_file}" RESULT_VARIABLE sealwise_rc
                OUTPUT_VARIABLE sealwise_owner ERROR_QUIET)
if(sealwise_rc EQUAL 0 AND sealwise_owner MATCHES "^([^:,]+)")
    set(sealwise_curl_package "${CMAKE_MATCH_1}")
endif()
set(CPACK_DEBIAN_CLI_PACKAGE_DEPENDS "${sealwise_curl_package}")
# The X11/Wayland platform plugins are loaded at run time too.
set(CPACK_DEBIAN_GUI_PACKAGE_DEPENDS "qt6-qpa-plugins, ${sealwise_curl_package}")
set(CPACK_DEBIAN_GUI_PACKAGE_RECOMMENDS "sealwise-cli")

set(CPACK_DEBIAN_MAIL_SERVICE_PACKAGE_NAME sealwise-mail-service)
set(CPACK_DEBIAN_MAIL_SERVICE_PACKAGE_SECTION net)
set(CPACK_DEBIAN_MAIL_SERVICE_DESCRIPTION "relay encrypted Sealwise texts from a web form to an SMTP server
sealwise-mail-service receives the form that Sealwise posts when a user sends
an encrypted text by e-mail, and hands the message to an SMTP server. It runs
as a system service; the texts it relays are encrypted before they are sent.")

# Dependencies from the linked libraries, worked out per package by DebDepends.cmake at
# packaging time (CPack's own lookup silently drops them where the `file` tool describes
# programs differently).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(sealwise_target_cli sealwise-cli)
set(sealwise_target_gui sealwise)
set(sealwise_target_mail_service sealwise-mail-service)
foreach(component IN LISTS sealwise_components)
    file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/packaging/deb-binaries-${component}.txt
         CONTENT "$<TARGET_FILE:${sealwise_target_${component}}>")
endforeach()
set(CPACK_SEALWISE_BINARY_LISTS ${CMAKE_BINARY_DIR}/packaging)
set(CPACK_SEALWISE_LIBRARY_ARCH ${CMAKE_LIBRARY_ARCHITECTURE})
set(CPACK_SEALWISE_DEPENDS_DIR ${CMAKE_BINARY_DIR}/packaging/depends)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/DebDepends.cmake)
set(CPACK_GENERATOR DEB)
set(CPACK_SOURCE_IGNORE_FILES "/build.*/" "/[.]git/")
include(CPack)
