# Install layout (FHS under CMAKE_INSTALL_PREFIX) and the Debian package built by CPack.
# The desktop program looks for its manual at ../share/doc/quennet-pro/ from its own folder.
include(GNUInstallDirs)

# Windows: one folder with the program and its documents, packed as a zip (cpack -G ZIP).
if(WIN32)
  install(TARGETS quennet-diff RUNTIME DESTINATION .)
  install(FILES README.md LICENSE doc/manual.html DESTINATION .)
  install(DIRECTORY doc/schema DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME quennet-pro)
  set(CPACK_PACKAGE_FILE_NAME quennet-pro-${PROJECT_VERSION}-win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  include(CPack)
  return()
endif()

set(QUENNET_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/quennet-pro)

install(TARGETS quennet-diff RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(QUENNET_GUI)
  install(TARGETS quennet RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES data/quennet.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
  install(FILES data/icons/quennet.svg
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
  foreach(size 16 32 48 64 128 256)
    install(FILES data/icons/quennet-${size}.png
      DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps
      RENAME quennet.png)
  endforeach()
  install(FILES doc/man/quennet.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES data/completions/quennet.bash
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions RENAME quennet)
endif()
install(FILES doc/man/quennet-diff.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES data/completions/quennet-diff.bash
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions RENAME quennet-diff)
install(FILES data/completions/_quennet
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/zsh/vendor-completions)
install(FILES doc/manual.html DESTINATION ${QUENNET_DOC_DIR})
install(DIRECTORY doc/schema DESTINATION ${QUENNET_DOC_DIR})
install(FILES LICENSE DESTINATION ${QUENNET_DOC_DIR} RENAME copyright)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quennet-pro)
set(CPACK_PACKAGE_VENDOR "Quennet Pro developers")
set(CPACK_PACKAGE_CONTACT "Quennet Pro developers <quennet@quennet.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "compare and merge Pascal sources by their declarations")
set(CPACK_PACKAGE_DESCRIPTION
  "Quennet Pro compares two versions of an Object Pascal (Delphi, Free Pascal) source file by
their declarations rather than line by line, shows the differences as a tree, in coloured
source views and as a report, and builds a merge workspace. quennet is the desktop program,
quennet-diff the command line tool.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://quennet.example/pro/")
include(CPack)
