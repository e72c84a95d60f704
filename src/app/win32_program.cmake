# The Windows host (a library of its own, so that its tests drive it) and the
# program: wWinMain, the shell, the real game, the icon and version
# information. Included from this folder's list in the Windows build.
target_sources(gf_app PRIVATE win32_pacer_clock.cpp)

add_library(gf_win32_host STATIC win32_window_host.cpp win32_text.cpp)
target_link_libraries(gf_win32_host PUBLIC gf_app
  PRIVATE Win32::comctl32 Win32::winmm Win32::opengl32 Win32::gdi32 Win32::user32)

configure_file(win32_resources.rc.in ${CMAKE_CURRENT_BINARY_DIR}/win32_resources.rc @ONLY)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/win32_resources.rc PROPERTIES
  OBJECT_DEPENDS "${GLIMMERFALL_WINDOWS_ICON};${CMAKE_CURRENT_SOURCE_DIR}/win32_program.manifest")

add_executable(glimmerfall WIN32 win32_main.cpp ${CMAKE_CURRENT_BINARY_DIR}/win32_resources.rc)
target_link_libraries(glimmerfall PRIVATE gf_win32_host gf_game_session Win32::shell32 Win32::opengl32)
# wWinMain is the entry.
target_link_options(glimmerfall PRIVATE -municode)
target_compile_definitions(glimmerfall PRIVATE GLIMMERFALL_VERSION="${PROJECT_VERSION}")
set_target_properties(glimmerfall PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
# The icon and the data files come from the build machine's generator.
add_dependencies(glimmerfall native_tools)
