# Installation layout of a Linux desktop and the Debian package built from it.
include(GNUInstallDirs)

set(orlu_programs orlu-cli)
if(TARGET orlu)
  list(APPEND orlu_programs orlu)
endif()
install(TARGETS ${orlu_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The readable sources the installation data is made from (orlu-cli setup builds it into the program folder).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/orlu)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/orlu.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/orlu.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.quorix.orlu.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# udev looks in /lib/udev/rules.d (or /usr/lib/udev/rules.d), not under the data folder.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/70-orlu-probe.rules DESTINATION lib/udev/rules.d)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orlu)
set(CPACK_PACKAGE_VENDOR "Quorix")
set(CPACK_PACKAGE_CONTACT "Quorix O.R.L.U. support <orlu@quorix.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "O.R.L.U. meridian energy analyser workstation")
set(CPACK_PACKAGE_INSTALL_DIRECTORY orlu)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The shared libraries the programs link decide most dependencies; the SQLite driver is a Qt
# plug-in and the Chinese texts need a CJK font, which no linked library names.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
