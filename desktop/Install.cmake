# Installing like a desktop program: `cmake --install build --prefix P` (or
# `make install`) and `cpack -G DEB` for a Debian package.
include(GNUInstallDirs)

set(DESKTOP_OUT ${CMAKE_BINARY_DIR}/desktop)
set(VELUN_SCREENSHOT reading.png)
set(VELUN_SCREENSHOT_WIDTH 1024)
set(VELUN_SCREENSHOT_HEIGHT 640)
configure_file(${CMAKE_SOURCE_DIR}/desktop/velun.desktop.in ${DESKTOP_OUT}/${VELUN_APP_ID}.desktop @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/desktop/velun.metainfo.xml.in ${DESKTOP_OUT}/${VELUN_APP_ID}.metainfo.xml @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/desktop/velun.1.in ${DESKTOP_OUT}/velun.1 @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/desktop/velun-pack.1.in ${DESKTOP_OUT}/velun-pack.1 @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/desktop/changelog.in ${DESKTOP_OUT}/changelog @ONLY)

# The manual pages and the changelog go compressed as Debian's policy asks: gzip at
# its best, with no name or time stamp inside, so that two builds give the same bytes.
set(VELUN_GZIPPED)
foreach(doc velun.1 velun-pack.1 changelog)
  add_custom_command(
    OUTPUT ${DESKTOP_OUT}/${doc}.gz
    COMMAND gzip -9 -n -c ${DESKTOP_OUT}/${doc} > ${DESKTOP_OUT}/${doc}.gz
    DEPENDS ${DESKTOP_OUT}/${doc}
    VERBATIM)
  list(APPEND VELUN_GZIPPED ${DESKTOP_OUT}/${doc}.gz)
endforeach()
add_custom_target(velun_docs ALL DEPENDS ${VELUN_GZIPPED})

# The store screenshot is the headless renderer's picture of an article with Hebrew.
add_custom_command(
  OUTPUT ${DESKTOP_OUT}/${VELUN_SCREENSHOT}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:velun> --render 34 --base 1488
          --size ${VELUN_SCREENSHOT_WIDTH}x${VELUN_SCREENSHOT_HEIGHT} --out ${DESKTOP_OUT}/${VELUN_SCREENSHOT}
  DEPENDS velun
  COMMENT "Rendering the screenshot"
  VERBATIM)
add_custom_target(velun_screenshot ALL DEPENDS ${DESKTOP_OUT}/${VELUN_SCREENSHOT})

install(TARGETS velun velun-pack RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Where the reader looks for it, from its own folder (CMakeLists.txt); a module is
# not run, so it is not executable.
install(TARGETS velun-print LIBRARY DESTINATION ${VELUN_PRIVATE_LIB_DIR}
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES ${DESKTOP_OUT}/${VELUN_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${DESKTOP_OUT}/${VELUN_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${ICON_THEME_DIR} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${DESKTOP_OUT}/velun.1.gz ${DESKTOP_OUT}/velun-pack.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${DESKTOP_OUT}/${VELUN_SCREENSHOT} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velun/screenshots)
install(FILES ${CMAKE_SOURCE_DIR}/desktop/copyright ${DESKTOP_OUT}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velun)

set(CPACK_PACKAGE_NAME velun)
set(CPACK_PACKAGE_VERSION ${VELUN_VERSION})
set(CPACK_PACKAGE_VENDOR Velmora)
set(CPACK_PACKAGE_CONTACT "Velmora <velun@velmora.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reader for the handbook Letters, Writing and Type")
set(CPACK_PACKAGE_DESCRIPTION
    "Velun reads the 187 articles of the handbook and their index, compiled into
the program, with its own text engine for English and right-to-left Hebrew,
a collapsible index with bookmarks, search, a font dialog and clipboard export.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.velmora.example)
# The libraries come from dpkg-shlibdeps; the fonts and the X11 platform plugin
# are loaded at run time, so no library names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, qt6-qpa-plugins")
# qt6-wayland: the platform plugin a Wayland session needs (without it Qt falls back to X11).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "culmus, fonts-freefont-ttf, qt6-wayland, xdg-utils")
include(CPack)
