# The manual page, the icon sizes and the Debian package (cpack -G DEB in the build folder).

# Debian keeps manual pages and changelogs compressed; -n leaves the name and time out, so builds
# are identical.
function(vantorelle_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND gzip -9nc ${source} > ${output}
    DEPENDS ${source}
    VERBATIM)
endfunction()
set(VANTORELLE_MANPAGE ${PROJECT_BINARY_DIR}/vantorelle.1.gz)
set(VANTORELLE_CHANGELOG ${PROJECT_BINARY_DIR}/changelog.gz)
vantorelle_gzip(${PROJECT_SOURCE_DIR}/data/vantorelle.1 ${VANTORELLE_MANPAGE})
vantorelle_gzip(${PROJECT_SOURCE_DIR}/data/changelog ${VANTORELLE_CHANGELOG})
# The mark at the icon theme's fixed sizes, drawn from the one SVG: many notification daemons and
# panels look an icon up by name among PNG sizes only.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(VANTORELLE_ICON_SIZES 16 22 24 32 48 64 128 256)
set(VANTORELLE_ICONS)
foreach(size IN LISTS VANTORELLE_ICON_SIZES)
  set(folder ${PROJECT_BINARY_DIR}/icons/${size}x${size}/apps)
  add_custom_command(OUTPUT ${folder}/vantorelle.png
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${folder}/vantorelle.png ${PROJECT_SOURCE_DIR}/data/vantorelle.svg
    DEPENDS ${PROJECT_SOURCE_DIR}/data/vantorelle.svg
    VERBATIM)
  list(APPEND VANTORELLE_ICONS ${folder}/vantorelle.png)
  install(FILES ${folder}/vantorelle.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(vantorelle_data ALL DEPENDS ${VANTORELLE_MANPAGE} ${VANTORELLE_CHANGELOG} ${VANTORELLE_ICONS})
# Installing needs them: a build of the executable alone brings them along.
add_dependencies(vantorelle vantorelle_data)
install(FILES ${VANTORELLE_MANPAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${VANTORELLE_CHANGELOG} ${PROJECT_SOURCE_DIR}/data/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantorelle)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantorelle)
set(CPACK_PACKAGE_VENDOR "Vantorelle")
set(CPACK_PACKAGE_CONTACT "Vantorelle developers <developers@vantorelle.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keeps the default audio input and output on the best device")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Vantorelle ranks the audio devices of each direction in a stack and keeps the
default input and output of the desktop on the highest-ranked usable device,
also when devices come and go or the laptop lid closes. It works with
PulseAudio and with PipeWire.")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://vantorelle.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Shared libraries come from dpkg-shlibdeps, also those of the window module.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's Wayland platform plugin is no library the module links, so shlibdeps cannot see it; without
# it the window does not open in a Wayland session. Qt's X11 plugin loads libxcb-cursor at run
# time, and from Qt 6.5 on refuses to start without it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-wayland, libxcb-cursor0")
# Qt's SVG icon engine (the tray icon, the symbols) is a plugin too. Debian 12 keeps it in the
# package of Qt's SVG library, which shlibdeps names; Debian 13 in one of its own.
find_program(DPKG_QUERY dpkg-query)
function(vantorelle_debian_owner file result)
  execute_process(COMMAND ${DPKG_QUERY} -S "${file}" OUTPUT_VARIABLE owner RESULT_VARIABLE failed ERROR_QUIET)
  if(failed OR NOT owner MATCHES "^([^:,]+)")
    message(FATAL_ERROR "No Debian package holds ${file}: run tools/deps.sh package")
  endif()
  set(${result} ${CMAKE_MATCH_1} PARENT_SCOPE)
endfunction()
if(DPKG_QUERY)
  get_target_property(svg_library Qt6::Svg LOCATION)
  vantorelle_debian_owner("${svg_library}" svg_library_package)
  vantorelle_debian_owner("${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}/iconengines/libqsvgicon.so" svg_engine_package)
  if(NOT svg_engine_package STREQUAL svg_library_package)
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", ${svg_engine_package}")
  endif()
endif()
# Qt's own translations: the toolkit's standard texts (a line edit's menu) in the user's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pipewire-pulse | pulseaudio, upower, qt6-translations-l10n")
# Refuses to build a package whose dependencies cannot be computed, and strips what the
# distribution strips from its binaries.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackageCheck.cmake)
include(CPack)
