# The Windows build (a cross build with cmake/mingw-w64.cmake), included from
# the top-level list. The same game libraries as on Linux with Windows' edge
# files (the Win32 host, DirectSound, DirectInput); the data generator and the
# icon maker are built for and run on the build machine; tests run under Wine.
enable_language(RC)
# MinGW's GCC 12 at -O3 takes "text" + std::string for an overlapping copy
# (GCC bug 105329): that one warning is off in this build.
add_compile_options(-Wno-restrict)

# The system's libraries, as targets (a link name must be a target here).
foreach(lib opengl32 dsound dinput8 dxguid comctl32 winmm gdi32 user32 shell32)
  add_library(Win32::${lib} INTERFACE IMPORTED)
  set_target_properties(Win32::${lib} PROPERTIES INTERFACE_LINK_LIBRARIES -l${lib})
endforeach()

# The build machine's part (tools/native): it writes the data files into
# GLIMMERFALL_DATA_DIR and the program's icon, and builds the end-to-end
# tests that run the Windows program under Wine.
# The Linux build's runner, which plays a replay the Windows game recorded
# (scripts/test names it); without it the end-to-end tests leave that out.
set(GLIMMERFALL_NATIVE_RUNNER "" CACHE FILEPATH "The Linux build's glimmerfall-script")
include(ExternalProject)
set(GLIMMERFALL_NATIVE_DIR ${CMAKE_BINARY_DIR}/native)
set(GLIMMERFALL_WINDOWS_ICON ${GLIMMERFALL_NATIVE_DIR}/icons/glimmerfall.ico)
set(GLIMMERFALL_WINDOWS_E2E ${GLIMMERFALL_NATIVE_DIR}/e2e/windows_e2e_tests)
ExternalProject_Add(native_tools
  SOURCE_DIR ${PROJECT_SOURCE_DIR}/tools/native
  BINARY_DIR ${GLIMMERFALL_NATIVE_DIR}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
             -DGLIMMERFALL_DATA_DIR=${GLIMMERFALL_DATA_DIR}
             -DGLIMMERFALL_WERROR=${GLIMMERFALL_WERROR}
             -DGLIMMERFALL_TESTS=${GLIMMERFALL_TESTS}
             -DGLIMMERFALL_VERSION=${PROJECT_VERSION}
             -DGLIMMERFALL_NATIVE_RUNNER=${GLIMMERFALL_NATIVE_RUNNER}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${GLIMMERFALL_WINDOWS_ICON} ${GLIMMERFALL_WINDOWS_E2E})

if(GLIMMERFALL_TESTS)
  # Test programs run under Wine, in the prefix and on the display of the
  # test run (tests/windows/wine-session).
  set(GLIMMERFALL_WINE_DIR ${CMAKE_BINARY_DIR}/wine)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tests/windows/wine-session run ${GLIMMERFALL_WINE_DIR})
endif()

# zlib (the replay files) goes into the program like the compiler's runtime.
set(ZLIB_USE_STATIC_LIBS ON)
add_subdirectory(src)
# The world, the shell and the game draw with OpenGL: Windows' opengl32.
target_link_libraries(gf_world PUBLIC Win32::opengl32)
include(dist/windows/package.cmake)

if(GLIMMERFALL_TESTS)
  enable_testing()
  # GoogleTest for Windows, from Debian's sources (package googletest).
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  add_subdirectory(tests/windows)
endif()

# Our targets get the project's warnings; GoogleTest keeps its own flags.
glimmerfall_apply_warnings(${PROJECT_SOURCE_DIR}/src)
if(GLIMMERFALL_TESTS)
  glimmerfall_apply_warnings(${PROJECT_SOURCE_DIR}/tests/windows)
endif()
