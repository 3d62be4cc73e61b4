# Installable packages through CPack: a .deb of the CLI and the desktop application on Linux,
# a .zip of the self-contained CLI for Windows. scripts/package.sh builds both.
include_guard(GLOBAL)

set(CPACK_PACKAGE_NAME velmorant)
set(CPACK_PACKAGE_VENDOR "Velmorant")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Banks, catalogues and instrument builds for a synthesizer workstation's disk volumes")
set(CPACK_PACKAGE_DESCRIPTION
  "Velmorant assembles 128-slot banks from a synthesizer workstation's program files, finds\n"
  "every multisample and sample they need, exports banks with their dependencies, writes HTML\n"
  "catalogues of a volume, converts WAV files into sample files and builds multisample and drum\n"
  "programs. The package holds the command-line tool velmorant-cli and, where it was built with\n"
  "Qt 6, the desktop application velmorant.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME velmorant-cli-${PROJECT_VERSION}-windows-x64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  # The manual at the top of the archive, the .exe in bin\ as the install rules place it.
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Velmorant maintainers")
  set(CPACK_DEBIAN_PACKAGE_SECTION sound)
  # Library dependencies read off the binaries by dpkg-shlibdeps; the catalogue's --open
  # hands pages to xdg-open.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
endif()

include(CPack)
