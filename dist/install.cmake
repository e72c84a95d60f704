# Installing Glimmerfall as a desktop game, and packaging it as a .deb
# (scripts/package). Included from the top-level CMakeLists once the game
# is built.
#
# The program goes to bin (games in the package), its data files to
# share/glimmerfall/data, where it finds them relative to itself or at the
# configured prefix; the desktop entry, the AppStream metainfo, the icons in
# the hicolor theme, the manual page and the copyright and changelog files go
# where a Linux desktop and Debian look for them.
include(GNUInstallDirs)

set(GLIMMERFALL_APP_ID io.github.glimmerfall.Glimmerfall)
set(GLIMMERFALL_MAINTAINER "The Glimmerfall developers <glimmerfall@users.noreply.github.com>")
set(GLIMMERFALL_INSTALLED_DATA_DIR ${CMAKE_INSTALL_FULL_DATADIR}/glimmerfall/data)
set(dist ${PROJECT_SOURCE_DIR}/dist)
set(dist_out ${CMAKE_BINARY_DIR}/dist)
execute_process(COMMAND date -R -u -d "${GLIMMERFALL_RELEASE_DATE} 12:00"
  OUTPUT_VARIABLE GLIMMERFALL_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE)

# Exactly the files of the data-file list (cmake/data_files.cmake).
install(FILES ${GLIMMERFALL_DATA_OUTPUTS} DESTINATION ${CMAKE_INSTALL_DATADIR}/glimmerfall/data)

configure_file(${dist}/${GLIMMERFALL_APP_ID}.metainfo.xml.in ${dist_out}/${GLIMMERFALL_APP_ID}.metainfo.xml @ONLY)
install(FILES ${dist}/${GLIMMERFALL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${dist_out}/${GLIMMERFALL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

foreach(size ${GLIMMERFALL_ICON_SIZES})
  install(FILES ${GLIMMERFALL_ICON_DIR}/${size}/glimmerfall.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${dist}/glimmerfall.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The manual page and the changelog are compressed as Debian wants them
# (gzip -9n: no name or time stamp, so the bytes are the same every time).
configure_file(${dist}/glimmerfall.6.in ${dist_out}/glimmerfall.6 @ONLY)
configure_file(${dist}/changelog.in ${dist_out}/changelog @ONLY)
foreach(f glimmerfall.6 changelog)
  add_custom_command(OUTPUT ${dist_out}/${f}.gz
    COMMAND gzip -9nc ${dist_out}/${f} > ${dist_out}/${f}.gz
    DEPENDS ${dist_out}/${f} VERBATIM)
endforeach()
add_custom_target(dist_files ALL DEPENDS ${dist_out}/glimmerfall.6.gz ${dist_out}/changelog.gz)
install(FILES ${dist_out}/glimmerfall.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${dist}/copyright ${dist_out}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/glimmerfall)

# The Debian package. Its dependencies are what dpkg-shlibdeps finds the
# program linked against.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME glimmerfall)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${GLIMMERFALL_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fly around a glowing globe and collect the lights")
set(CPACK_PACKAGE_DESCRIPTION
  "Glimmerfall is a small single-player 3D arcade game. Your ship flies around
a textured, slowly turning globe with a moon, under a sky of ten thousand
lights. Each of the nine levels scatters 2000 glowing pickups on a shell
around the globe: collect them all before the clock runs out. Time left over
is your score.

It plays with the keyboard or a game controller, in a window or fullscreen.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/glimmerfall/glimmerfall)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
include(CPack)
