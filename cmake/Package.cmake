# The Debian package: `cpack -G DEB` in a build tree configured with
# CMAKE_INSTALL_PREFIX=/usr (scripts/package.sh does both) makes
# mrk2tool_<version>-<revision>_amd64.deb from the install rules. The version
# is the project's, the same that `--version` prints; the Debian revision
# counts packagings of that version and is taken from the top entry of
# packaging/changelog, so the package and its changelog name the same version.
set(CPACK_PACKAGE_NAME mrk2tool)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
file(STRINGS packaging/changelog mrk2_changelog_top LIMIT_COUNT 1)
if(NOT mrk2_changelog_top MATCHES "^mrk2tool \\(${PROJECT_VERSION}-([0-9]+)\\) ")
    message(FATAL_ERROR "packaging/changelog: the top entry must be mrk2tool "
                        "(${PROJECT_VERSION}-REVISION), the project's version; it is "
                        "'${mrk2_changelog_top}'")
endif()
set(CPACK_DEBIAN_PACKAGE_RELEASE ${CMAKE_MATCH_1})
set(CPACK_PACKAGE_CONTACT "mrk2tool maintainers <mrk2tool@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "address dictionary maintenance tool for a Japanese geocoder")
set(CPACK_PACKAGE_DESCRIPTION
    "mrk2tool loads Japan Post's national postal-code CSV and MLIT's
position-reference CSV files into SQLite databases, keeps a catalog of region
databases, updates a region when its CSV files change, and edits the learning
dictionary. The package holds the desktop tool mrk2tool (Qt 6, Japanese user
interface) and mrk2cli, the same engine for scripts.")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link come from dpkg-shlibdeps (package dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(MRK2_BUILD_GUI)
    # Qt loads its window-system plugin and the Japanese texts of its standard
    # buttons (はい / いいえ) at run time, so no link names them; the Japanese
    # interface also wants a Japanese font.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-ipafont-gothic | fonts-vlgothic")
endif()
# PROJ reads its table of coordinate systems (proj.db) at run time, and the
# server's page loads Leaflet from Debian's libjs-leaflet.
if(CPACK_DEBIAN_PACKAGE_DEPENDS)
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", proj-data, libjs-leaflet")
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "proj-data, libjs-leaflet")
endif()
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
