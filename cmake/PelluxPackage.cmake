# What `cmake --install` puts where on Linux, and the Debian package that
# `cpack` makes of it (`cpack --preset linux-release`): the program, its
# desktop entry, its icon in the hicolor theme, its manual page, its AppStream
# metadata, and the package's own copyright and changelog.
include(GNUInstallDirs)

set(PELLUX_APP_ID org.pellux.Pellux)
set(PELLUX_LINUX ${PROJECT_SOURCE_DIR}/resources/linux)
set(PELLUX_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/pellux)

install(TARGETS pellux RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PELLUX_LINUX}/${PELLUX_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PELLUX_LINUX}/${PELLUX_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size ${PELLUX_ICON_SIZES})
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/pellux-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME pellux.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/pellux.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Manual pages and changelogs are installed compressed, without a time stamp
# in the archive, so that the same sources give the same package.
set(PELLUX_GZIPPED)
foreach(file pellux.1 changelog.Debian)
  add_custom_command(OUTPUT ${file}.gz
    COMMAND gzip -9nc ${PELLUX_LINUX}/${file} > ${CMAKE_CURRENT_BINARY_DIR}/${file}.gz
    DEPENDS ${PELLUX_LINUX}/${file} VERBATIM)
  list(APPEND PELLUX_GZIPPED ${CMAKE_CURRENT_BINARY_DIR}/${file}.gz)
endforeach()
add_custom_target(pellux_gzipped ALL DEPENDS ${PELLUX_GZIPPED})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/pellux.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PELLUX_LINUX}/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz
  DESTINATION ${PELLUX_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pellux)
set(CPACK_PACKAGE_VENDOR "The Pellux authors")
set(CPACK_PACKAGE_CONTACT "The Pellux authors <maintainers@pellux.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "current IPv4 address of the computer in the notification area")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Pellux keeps the computer's current IPv4 address in front of you: in the
tooltip of its tray icon, in a small window that also shows the computer
name and the host name and copies them to the clipboard, and in a history
of every address seen while it runs. It looks again at an interval chosen
from 1 to 30 seconds.
.
It shows its icon in panels that host StatusNotifierItems (KDE Plasma, Xfce,
LXQt, GNOME with an AppIndicator extension, waybar) and in XEmbed trays.")
# The libraries come from the program's own links; Qt's platform plugins,
# which Qt loads by name at start, from the plugins' package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# In a Wayland session Qt's Wayland platform makes the program a Wayland
# client; without it Qt goes through XWayland, where the session has one.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
