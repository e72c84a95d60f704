# The Windows packages (scripts/package-windows): glimmerfall-<version>-win64.zip
# and glimmerfall-<version>-win64-setup.exe, a 64-bit NSIS installer. Both hold
# the program with its data files beside it (where it looks for them when the
# current folder has none), a short read-me and the copyright note.
# Included from cmake/windows.cmake once the program is defined.
install(TARGETS glimmerfall RUNTIME DESTINATION .)
install(FILES ${GLIMMERFALL_DATA_OUTPUTS} DESTINATION .)
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt.in ${CMAKE_BINARY_DIR}/dist/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/dist/copyright ${CMAKE_BINARY_DIR}/dist/COPYRIGHT.txt COPYONLY)
install(FILES ${CMAKE_BINARY_DIR}/dist/README.txt ${CMAKE_BINARY_DIR}/dist/COPYRIGHT.txt DESTINATION .)

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME Glimmerfall)
set(CPACK_PACKAGE_VENDOR "The Glimmerfall developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Fly around a glowing globe and collect the lights")
set(CPACK_PACKAGE_FILE_NAME glimmerfall-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Glimmerfall)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Glimmerfall)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_BINARY_DIR}/dist/COPYRIGHT.txt)
set(CPACK_STRIP_FILES ON)
# The zip unpacks into a folder of its own and the installer is named
# ...-setup.exe (dist/windows/cpack_options.cmake).
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack_options.cmake)
set(CPACK_NSIS_DEFINES "Target amd64-unicode")  # a 64-bit installer, as the program is
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "Glimmerfall ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME Glimmerfall)
set(CPACK_NSIS_MUI_ICON ${GLIMMERFALL_WINDOWS_ICON})
set(CPACK_NSIS_MUI_UNIICON ${GLIMMERFALL_WINDOWS_ICON})
set(CPACK_NSIS_INSTALLED_ICON_NAME glimmerfall.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# A Start-menu entry that starts the game.
set(CPACK_PACKAGE_EXECUTABLES glimmerfall Glimmerfall)
include(CPack)
