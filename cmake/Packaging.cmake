# Install rules for everything besides the programs (desktop integration, manual pages, shell
# completion) and the Debian package built by CPack (`cpack -G DEB` in the build directory).
include(GNUInstallDirs)

set(SEALWISE_APP_ID io.github.sealwise.Sealwise)
set(desktop_dir ${PROJECT_SOURCE_DIR}/resources/desktop)

if(SEALWISE_GUI)
    install(FILES ${desktop_dir}/${SEALWISE_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${desktop_dir}/${SEALWISE_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES ${desktop_dir}/${SEALWISE_APP_ID}.mime.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ${SEALWISE_APP_ID}.xml)
    install(FILES ${desktop_dir}/${SEALWISE_APP_ID}.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/man/sealwise.1
            DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# The manual page of sealwise-cli is written from the program's own help texts.
set(cli_manpage ${CMAKE_BINARY_DIR}/man/sealwise-cli.1)
add_custom_command(
    OUTPUT ${cli_manpage}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/make-manpage.sh $<TARGET_FILE:sealwise-cli> ${cli_manpage}
    DEPENDS sealwise-cli ${PROJECT_SOURCE_DIR}/scripts/make-manpage.sh
    COMMENT "Writing the sealwise-cli manual page")
add_custom_target(sealwise_manpage ALL DEPENDS ${cli_manpage})
install(FILES ${cli_manpage} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${PROJECT_SOURCE_DIR}/resources/completion/sealwise-cli.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME sealwise-cli)
install(FILES ${PROJECT_SOURCE_DIR}/resources/completion/_sealwise-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/format.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME sealwise)
set(CPACK_PACKAGE_VENDOR "The Sealwise developers")
set(CPACK_PACKAGE_CONTACT "The Sealwise developers <dev@sealwise.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "encrypt texts, files and directory trees with a passphrase")
set(CPACK_PACKAGE_DESCRIPTION
    "Sealwise turns a typed text into an encrypted block of printable text and packs files and
whole directory trees into one compressed, encrypted container (.vesk). It offers a passphrase
quality meter, a random passphrase generator, an on-screen keyboard and shared security with
2 to 10 key holders. The package holds the desktop program, the command-line tool sealwise-cli
and the mail relay service.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://sealwise.example/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# Dependencies from the linked libraries, worked out by DebDepends.cmake at packaging time
# (CPack's own lookup silently drops them where the `file` tool describes programs differently).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(sealwise_binaries $<TARGET_FILE:sealwise-cli> $<TARGET_FILE:sealwise-mail-service>)
if(SEALWISE_GUI)
    list(APPEND sealwise_binaries $<TARGET_FILE:sealwise>)
endif()
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/packaging/deb-binaries.txt CONTENT "${sealwise_binaries}")
set(CPACK_SEALWISE_BINARY_LIST ${CMAKE_BINARY_DIR}/packaging/deb-binaries.txt)
set(CPACK_SEALWISE_LIBRARY_ARCH ${CMAKE_LIBRARY_ARCHITECTURE})
set(CPACK_SEALWISE_DEPENDS_DIR ${CMAKE_BINARY_DIR}/packaging/depends)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/DebDepends.cmake)
# The X11/Wayland platform plugins are loaded at run time, so no linked library names them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils")
set(CPACK_GENERATOR DEB)
set(CPACK_SOURCE_IGNORE_FILES "/build.*/" "/[.]git/")
include(CPack)
