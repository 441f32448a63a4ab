# What `cmake --build BUILD --target package` makes: on Windows a zip holding
# both programs, a short read-me, the licence and the sample log, and a setup
# program that installs the same files under Program Files; on Linux a Debian
# package of fixtally-check with its manual page and bash completion.
set(CPACK_PACKAGE_NAME Fixtally)
set(CPACK_PACKAGE_VENDOR "Fixtally developers")
set(CPACK_PACKAGE_CONTACT "Fixtally developers <fixtally@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "checks the UTC time stamps of NMEA-0183 GPS logs")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
# Values reach the generators as written here (NSIS commands hold "\" and "$").
set(CPACK_VERBATIM_VARIABLES ON)

if(WIN32)
  install(TARGETS Fixtally fixtally-check RUNTIME DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/README.txt ${PROJECT_SOURCE_DIR}/LICENSE
                ${PROJECT_SOURCE_DIR}/samples/sample.nmea DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  # Unpacked, the files sit in the folder chosen, not in a folder inside it.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_PACKAGE_FILE_NAME Fixtally-${PROJECT_VERSION}-win64)
  # The setup program gets "-setup" after that name.
  set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/CPackPerGenerator.cmake)
  find_program(FIXTALLY_MAKENSIS makensis)
  if(FIXTALLY_MAKENSIS)
    list(APPEND CPACK_GENERATOR NSIS)
  else()
    message(STATUS "makensis not found: the package target makes the zip only")
  endif()
  # makensis writes a 32-bit installer unless told otherwise; a 64-bit one
  # installs into the 64-bit Program Files and registers its uninstaller in
  # the 64-bit view of the registry, where Windows looks for 64-bit programs.
  set(CPACK_NSIS_DEFINES "Target amd64-unicode\n!include FileFunc.nsh")
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
  set(CPACK_PACKAGE_INSTALL_DIRECTORY Fixtally)
  # One key for every version, so that a newer setup program replaces the
  # installed version (uninstalling it first) rather than adding a second one.
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Fixtally)
  set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
  set(CPACK_NSIS_PACKAGE_NAME Fixtally)
  set(CPACK_NSIS_DISPLAY_NAME Fixtally)
  set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/ui/Fixtally.ico)
  set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/ui/Fixtally.ico)
  set(CPACK_NSIS_INSTALLED_ICON_NAME Fixtally.exe)
  # The uninstaller removes these shortcuts from the Start-menu folder the
  # user chose as well as from the default one (CPACK_PACKAGE_EXECUTABLES'
  # shortcuts only from the default one).
  set(CPACK_NSIS_CREATE_ICONS_EXTRA
    "CreateShortCut \"$SMPROGRAMS\\$STARTMENU_FOLDER\\Fixtally.lnk\" \"$INSTDIR\\Fixtally.exe\"")
  set(CPACK_NSIS_DELETE_ICONS_EXTRA "Delete \"$SMPROGRAMS\\$MUI_TEMP\\Fixtally.lnk\"")
  # The size that Windows shows for the installed program, in KiB.
  set(uninstallKey "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\${CPACK_PACKAGE_INSTALL_REGISTRY_KEY}")
  set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "
  \${GetSize} \"$INSTDIR\" \"/S=0K\" $0 $1 $2
  WriteRegDWORD SHCTX \"${uninstallKey}\" \"EstimatedSize\" \"$0\"")
  # The uninstaller removes only the files it installed: the settings file,
  # beside the program or under APPDATA, stays with the user. CPack's
  # uninstaller removes the key of the installed folder but leaves the
  # vendor's key above it, empty.
  set(vendorKey "Software\\${CPACK_PACKAGE_VENDOR}")
  set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "
  DeleteRegKey SHCTX \"${vendorKey}\\${CPACK_PACKAGE_INSTALL_REGISTRY_KEY}\"
  DeleteRegKey /ifempty SHCTX \"${vendorKey}\"")
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
