# What `cmake --install` puts in place: the two programs, the desktop entry,
# the icon in the hicolor theme, the AppStream metainfo, the manual pages and
# the bash completion of veskaro-report.
include(GNUInstallDirs)

set(VESKARO_APP_ID "com.korvanel.Veskaro")
set(VESKARO_HOMEPAGE "https://www.korvanel.com/veskaro/" CACHE STRING
  "Home page named in the AppStream metainfo")
set(VESKARO_SCREENSHOT_URL "${VESKARO_HOMEPAGE}screenshots/" CACHE STRING
  "Where the pictures of docs/screenshots/ are published; the metainfo refers to them there")

set(veskaro_packaging_dir "${PROJECT_SOURCE_DIR}/packaging")
configure_file("${veskaro_packaging_dir}/${VESKARO_APP_ID}.metainfo.xml.in"
  "${PROJECT_BINARY_DIR}/packaging/${VESKARO_APP_ID}.metainfo.xml" @ONLY)

install(TARGETS veskaro veskaro-report RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES "${veskaro_packaging_dir}/${VESKARO_APP_ID}.desktop"
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES "${PROJECT_BINARY_DIR}/packaging/${VESKARO_APP_ID}.metainfo.xml"
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

install(FILES "${PROJECT_SOURCE_DIR}/resources/icons/app.svg"
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
  RENAME ${VESKARO_APP_ID}.svg)
set(VESKARO_ICON_SIZES 16 22 24 32 48 64 128 256)
foreach(size IN LISTS VESKARO_ICON_SIZES)
  install(FILES "${veskaro_packaging_dir}/icons/${size}/${VESKARO_APP_ID}.png"
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

foreach(page veskaro.1 veskaro-report.1)
  configure_file("${PROJECT_SOURCE_DIR}/docs/man/${page}.in" "${PROJECT_BINARY_DIR}/man/${page}" @ONLY)
  install(FILES "${PROJECT_BINARY_DIR}/man/${page}" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

install(FILES "${veskaro_packaging_dir}/veskaro-report.bash-completion"
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
  RENAME veskaro-report)
