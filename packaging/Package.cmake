# `cmake --build build --target package`: the Debian package
# zantrove_VERSION_ARCH.deb of everything `cmake --install` puts under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zantrove)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "password keeper for your private records")
# The summary becomes the first line of the description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Zantrove keeps log-ins, payment cards, bank accounts, addresses, licences
and notes in one password-protected data file: a tree of groups and
records, each record an ordered list of typed fields. It locks itself when
idle, empties the clipboard it filled and keeps backups of earlier versions.
.
The package holds the desktop program, zantrove, and the command-line tool
zantrove-cli for scripting, recovery and checking files without a desktop.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Zantrove developers <developers@zantrove.org>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://zantrove.org/")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from the binaries. Loaded at run time without any library
# naming them: the DejaVu fonts the windows are drawn in, Qt's own
# translations of its buttons and dialogs, and the mime database that turns
# the file type into a .zv pattern. Qt's X11 platform and JPEG plugins ship in
# libqt6gui6 itself on Debian 12, which the binaries already depend on.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, qt6-translations-l10n, shared-mime-info")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/CPackLocale.cmake)
include(CPack)
