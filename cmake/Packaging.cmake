# What `cmake --build BUILD --target package` makes: on Windows a zip holding
# both programs, a short read-me, the licence and the sample log; on Linux a
# Debian package of fixtally-check with its manual page and bash completion.
set(CPACK_PACKAGE_NAME Fixtally)
set(CPACK_PACKAGE_VENDOR "Fixtally developers")
set(CPACK_PACKAGE_CONTACT "Fixtally developers <fixtally@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "checks the UTC time stamps of NMEA-0183 GPS logs")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)

if(WIN32)
  install(TARGETS Fixtally fixtally-check RUNTIME DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/README.txt ${PROJECT_SOURCE_DIR}/LICENSE
                ${PROJECT_SOURCE_DIR}/samples/sample.nmea DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  # Unpacked, the files sit in the folder chosen, not in a folder inside it.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_PACKAGE_FILE_NAME Fixtally-${PROJECT_VERSION}-win64)
else()
  include(GNUInstallDirs)
  install(TARGETS fixtally-check RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # Debian keeps manual pages compressed and the licence as "copyright".
  configure_file(${PROJECT_SOURCE_DIR}/doc/fixtally-check.1.in ${PROJECT_BINARY_DIR}/fixtally-check.1 @ONLY)
  set(manpage ${PROJECT_BINARY_DIR}/fixtally-check.1.gz)
  add_custom_command(OUTPUT ${manpage}
    COMMAND gzip -9 -n -c ${PROJECT_BINARY_DIR}/fixtally-check.1 > ${manpage}
    DEPENDS ${PROJECT_BINARY_DIR}/fixtally-check.1)
  add_custom_target(manpage ALL DEPENDS ${manpage})
  install(FILES ${manpage} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  # Loaded by bash-completion the first time fixtally-check is completed.
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/fixtally-check.bash
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions RENAME fixtally-check)
  set(docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/fixtally-check)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${docdir})
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${docdir} RENAME copyright)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_PACKAGE_NAME fixtally-check)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "fixtally-check reads NMEA-0183 logs of any size, plain or gzip-compressed,
picks the valid RMC sentences and reports where the receiver's UTC time
moved back, repeated, or changed its output interval, with a summary and
the UTC span each log covers, as text or JSON.")
endif()

include(CPack)
