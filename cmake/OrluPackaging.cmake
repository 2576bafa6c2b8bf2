# Installation layout of a Linux desktop and the Debian package built from it.
include(GNUInstallDirs)

set(orlu_programs orlu-cli orlu-jet-reader)
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

# What Debian asks of every package: the copyright file, the changelog and a manual page per
# program, compressed without a time stamp so that two builds give the same files.
set(ORLU_PACKAGE_RELEASE 1)
set(ORLU_PACKAGE_VERSION ${PROJECT_VERSION}-${ORLU_PACKAGE_RELEASE})
set(orlu_docdir ${CMAKE_INSTALL_DATADIR}/doc/orlu)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright DESTINATION ${orlu_docdir})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
  RENAME orlu)
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog.Debian
  @ONLY)
set(orlu_package_docs ${PROJECT_BINARY_DIR}/packaging/changelog.Debian.gz)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/changelog.Debian.gz
  COMMAND gzip -9nkf changelog.Debian
  DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog.Debian
  WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/packaging VERBATIM)
install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog.Debian.gz DESTINATION ${orlu_docdir})
# The operator's manual, when scripts/build-manual has made it in this tree (.ci/run does before
# the package): the HTML with its pictures, which F1 opens, and the PDF.
install(DIRECTORY ${PROJECT_BINARY_DIR}/manual/html/ DESTINATION ${orlu_docdir}/manual OPTIONAL)
install(FILES ${PROJECT_BINARY_DIR}/manual/orlu-manual.pdf DESTINATION ${orlu_docdir} OPTIONAL)

# The manual pages are the programs' own --help, so they cannot fall behind them.
# A sanitized build is for the tests, not for packages (and its programs may report leaks at exit).
find_program(HELP2MAN help2man)
if(HELP2MAN AND NOT ORLU_SANITIZE)
  set(orlu_manual_names "orlu-cli=headless tools of the O.R.L.U. meridian energy analyser workstation"
    "orlu=the O.R.L.U. meridian energy analyser workstation"
    "orlu-jet-reader=confined reader of Access files for the O.R.L.U. workstation")
  foreach(entry IN LISTS orlu_manual_names)
    string(REPLACE "=" ";" entry "${entry}")
    list(GET entry 0 program)
    list(GET entry 1 description)
    if(NOT TARGET ${program})
      continue()
    endif()
    set(page ${PROJECT_BINARY_DIR}/packaging/${program}.1)
    add_custom_command(OUTPUT ${page}.gz
      COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
        ${HELP2MAN} --no-info --no-discard-stderr --name=${description} --output=${page} $<TARGET_FILE:${program}>
      COMMAND gzip -9nkf ${page}
      DEPENDS ${program} VERBATIM)
    list(APPEND orlu_package_docs ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
elseif(NOT HELP2MAN)
  message(WARNING "help2man not found: the package will lack its manual pages")
endif()
add_custom_target(package-docs ALL DEPENDS ${orlu_package_docs})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orlu)
set(CPACK_PACKAGE_VENDOR "Quorix")
set(CPACK_PACKAGE_CONTACT "Quorix O.R.L.U. support <orlu@quorix.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "O.R.L.U. meridian energy analyser workstation")
set(CPACK_PACKAGE_INSTALL_DIRECTORY orlu)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${ORLU_PACKAGE_RELEASE})
set(CPACK_PACKAGE_DESCRIPTION "The desktop application of a hand-held USB probe that measures the
skin current at the source point of each of the twelve main meridians, left
and right. It keeps a register of subjects and their measurements (in a file,
or on a PostgreSQL server shared by several seats), analyses and charts them,
prints reports, matches treatment courses, compares measurements and exports
them for other software (CSV, JSON lines, HL7 FHIR R4).
.
The package holds the program orlu, the command-line tools orlu-cli and
orlu-jet-reader, which reads Access files for them in confinement.
A simulated probe lets the program be tried without the hardware.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The shared libraries the programs link decide most dependencies; the SQLite driver is a Qt
# plug-in and the Chinese texts need a CJK font, which no linked library names.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, fonts-noto-cjk")
# A register shared on a server needs the PostgreSQL driver; a single seat does without.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6sql6-psql, qt6-translations-l10n")
# The probe's udev rule takes effect at installation and removal, for a probe already plugged in.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/debian/postinst
  ${PROJECT_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
