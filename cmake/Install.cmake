# What `cmake --install` puts on an operator's machine: the two programs, their
# manual pages, the bash completion of mrk2cli, the desktop entry with its icon,
# the README, and the copyright and changelog files a Debian package carries.
# Paths follow GNUInstallDirs, so that --prefix /usr gives the places a Debian
# package uses.
include(GNUInstallDirs)

# Debian keeps manual pages and changelogs gzipped at the highest level, and
# without the name and time stamp of the file (-n), so that two builds of the
# same sources give the same package. configure_file makes CMake run again
# when the source changes, which compresses it again.
function(mrk2_gzip_copy source copy)
    configure_file(${source} ${copy} ${ARGN})
    execute_process(COMMAND gzip -9nkf ${copy} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# The manual pages carry the project's version; that is all that is filled in.
function(mrk2_install_man_page source)
    get_filename_component(page ${source} NAME_WLE)
    set(copy ${CMAKE_CURRENT_BINARY_DIR}/man/${page})
    mrk2_gzip_copy(${CMAKE_CURRENT_SOURCE_DIR}/${source} ${copy} @ONLY)
    install(FILES ${copy}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

install(TARGETS mrk2cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Both written at build time from the command declarations (CMakeLists.txt).
install(FILES ${MRK2_CLI_MAN_PAGE}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${MRK2_CLI_COMPLETION}
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions)

if(MRK2_BUILD_GUI)
    install(TARGETS mrk2tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    mrk2_install_man_page(src/ui/mrk2tool.1.in)
    install(FILES packaging/mrk2tool.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
    install(FILES packaging/mrk2tool.svg
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
endif()

# The README names docs/errors.md for the error numbers; it keeps that place.
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES docs/errors.md DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)

# The copyright file credits the data built into the programs; the changelog's
# top entry is the package's version (cmake/Package.cmake).
install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
mrk2_gzip_copy(${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog
               ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog.Debian COPYONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
