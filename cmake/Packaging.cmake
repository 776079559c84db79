# The manual page and the Debian package (cpack -G DEB in the build folder).

# Debian keeps manual pages compressed; -n leaves the name and time out, so builds are identical.
set(VANTORELLE_MANPAGE ${PROJECT_BINARY_DIR}/vantorelle.1.gz)
add_custom_command(OUTPUT ${VANTORELLE_MANPAGE}
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/data/vantorelle.1 > ${VANTORELLE_MANPAGE}
  DEPENDS ${PROJECT_SOURCE_DIR}/data/vantorelle.1
  VERBATIM)
add_custom_target(vantorelle_manpage ALL DEPENDS ${VANTORELLE_MANPAGE})
install(FILES ${VANTORELLE_MANPAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantorelle)
set(CPACK_PACKAGE_VENDOR "Vantorelle")
set(CPACK_PACKAGE_CONTACT "Vantorelle developers <vantorelle@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keeps the default audio input and output on the best device")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Vantorelle ranks the audio devices of each direction in a stack and keeps the
default input and output of the desktop on the highest-ranked usable device,
also when devices come and go or the laptop lid closes. It works with
PulseAudio and with PipeWire.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Shared libraries come from dpkg-shlibdeps; Qt's plugins are loaded at run time and so are named
# here: the SVG icon engine and image format (the tray icon and the symbols).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pipewire-pulse | pulseaudio, upower, qt6-wayland")
include(CPack)
