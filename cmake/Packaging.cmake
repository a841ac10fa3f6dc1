# Installation and the Debian package.
#
# The program looks for orvane.mdb and orvane.chm beside its own executable, so the
# three live together in <prefix>/lib/orvane; <prefix>/bin/orvane is a symlink to the
# executable (the program folder is found through /proc/self/exe, which resolves it).
# The desktop entry and the hicolor icons go where desktops look for them; packaging/
# adds the manual pages, the AppStream metainfo, the copyright file and the changelog.
#
#   cmake --install build --prefix /usr/local
#   cd build && cpack -G DEB        # orvane_<version>_<arch>.deb
include(GNUInstallDirs)

set(ORVANE_INSTALL_DIR "${CMAKE_INSTALL_LIBDIR}/orvane")
# Debian keeps private program folders in /usr/lib, not the multiarch directory.
if(CMAKE_INSTALL_LIBDIR MATCHES "^lib/")
    set(ORVANE_INSTALL_DIR "lib/orvane")
endif()

install(TARGETS orvane orvane-gui RUNTIME DESTINATION "${ORVANE_INSTALL_DIR}")
# Built by dictionaries/ and help/ into the program folder; absent when those are
# switched off, and then simply not installed.
install(FILES "${ORVANE_PROGRAM_DIR}/orvane.mdb" "${ORVANE_PROGRAM_DIR}/orvane.chm"
        DESTINATION "${ORVANE_INSTALL_DIR}" OPTIONAL)

# The help as plain HTML goes with the documentation; a link in the program folder leads
# there, as html/ lies beside the program in the build tree (the About box opens a page).
set(ORVANE_HTML_DOC_DIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/orvane/html")
install(DIRECTORY "${ORVANE_PROGRAM_DIR}/html/" DESTINATION "${ORVANE_HTML_DOC_DIR}" OPTIONAL)

# Relative symlinks, made in the build tree and installed as links.
file(RELATIVE_PATH orvane_link_target "/${CMAKE_INSTALL_BINDIR}" "/${ORVANE_INSTALL_DIR}/orvane")
file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/packaging")
file(CREATE_LINK "${orvane_link_target}" "${CMAKE_BINARY_DIR}/packaging/orvane" SYMBOLIC)
install(FILES "${CMAKE_BINARY_DIR}/packaging/orvane" DESTINATION "${CMAKE_INSTALL_BINDIR}")
file(RELATIVE_PATH orvane_html_target "/${ORVANE_INSTALL_DIR}" "/${ORVANE_HTML_DOC_DIR}")
file(CREATE_LINK "${orvane_html_target}" "${CMAKE_BINARY_DIR}/packaging/html" SYMBOLIC)
install(FILES "${CMAKE_BINARY_DIR}/packaging/html" DESTINATION "${ORVANE_INSTALL_DIR}")

install(FILES "${CMAKE_SOURCE_DIR}/packaging/orvane.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
# The program's icon, one PNG per size (orvane-<size>.png in the shell's icon folder) and its drawing.
file(GLOB orvane_icons "${CMAKE_SOURCE_DIR}/src/ui/common/icon/orvane-*.png")
foreach(icon IN LISTS orvane_icons)
    if(icon MATCHES "orvane-([0-9]+)\\.png$")
        set(size "${CMAKE_MATCH_1}")
        install(FILES "${icon}" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
                RENAME orvane.png)
    endif()
endforeach()
install(FILES "${CMAKE_SOURCE_DIR}/src/ui/common/icon/orvane.svg"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")

set(CPACK_PACKAGE_NAME orvane)
set(CPACK_PACKAGE_VENDOR "Orvane")
set(CPACK_PACKAGE_CONTACT "The Orvane developers <developers@orvane.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tray dictionary with transliteration input")
# Lines of the long description stay within 80 columns.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Orvane lives in the system tray. Look a word up by the beginning of its\n"
    "native-script, transliterated or plain-letter headword and read the entry.\n"
    "Ships a Greek-English dictionary; orvane-mkdb builds others.")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://orvane.example.org/")
# Libraries the executable links come from dpkg-shlibdeps; what it only loads at run
# time is listed: the fonts the bundled dictionary names; Qt's Wayland platform, without
# which a Wayland desktop shows the windows through XWayland; and a help viewer.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, fonts-noto-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, xchm | kchmviewer")
set(CPACK_GENERATOR DEB)
include(CPack)
