# What `cmake --install` puts on an operator's machine: the two programs, their
# manual pages, the bash completion of mrk2cli, the desktop entry with its icon,
# and the README. Paths follow GNUInstallDirs, so that --prefix /usr gives the
# places a Debian package uses.
include(GNUInstallDirs)

# The manual pages carry the project's version; that is all that is filled in.
function(mrk2_install_man_page source)
    get_filename_component(page ${source} NAME_WLE)
    configure_file(${CMAKE_CURRENT_SOURCE_DIR}/${source} ${CMAKE_CURRENT_BINARY_DIR}/man/${page}
                   @ONLY)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/man/${page}
            DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

install(TARGETS mrk2cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
mrk2_install_man_page(src/cli/mrk2cli.1.in)
install(FILES src/cli/mrk2cli.bash RENAME mrk2cli
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
