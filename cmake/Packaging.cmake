# `cpack -G DEB` in the build folder: a Debian package of the installed files.
# Its dependencies come from the shared libraries the programs actually link
# (dpkg-shlibdeps, package dpkg-dev).
set(CPACK_PACKAGE_NAME "veskaro")
set(CPACK_PACKAGE_VENDOR "Korvanel")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_HOMEPAGE_URL "${VESKARO_HOMEPAGE}")
set(CPACK_PACKAGE_CONTACT "Korvanel Veskaro maintainers <veskaro@korvanel.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "admin")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded as plug-ins, which dpkg-shlibdeps does not see: the SVG icon engine
# that draws every icon of the program and the SQLite driver of the history.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6 (>= 6.4), libqt6sql6-sqlite (>= 6.4)")
# A font to draw with where the desktop brings none (servers, containers).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, qt6-wayland")
# The summary above is the first line; these paragraphs follow it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Veskaro shows the NetWare file servers of a directory tree in one window
and opens views of them side by side: server utilization, server information,
and the loaded NLMs and SET parameters of several servers with the differences
marked. Every table can be saved as delimited text.

veskaro-report prints any view as CSV, TSV or JSON for scripts. Without a
NetWare client both programs work on a simulated network described in a JSON
file; a demo network of two trees and ten servers is built in.")
set(CPACK_GENERATOR "DEB")
include(CPack)
