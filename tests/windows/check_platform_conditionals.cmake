# Fails when a source file outside the platforms' edge files asks which
# platform it is built for: the game, the world, physics, maths, sound and
# input logic compile unchanged for Linux and Windows, and Windows code lives
# in files of its own (win32_*, directsound_*, directinput_*), which need no
# conditionals either.
#   cmake -DSOURCES=<folder> -P check_platform_conditionals.cmake
file(GLOB_RECURSE files ${SOURCES}/*.h ${SOURCES}/*.cpp)
set(checked 0)
foreach(file ${files})
  file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*(if|ifdef|ifndef|elif)[ \t].*(_WIN32|_WIN64|WIN32|__MINGW|_MSC_VER|__linux|__unix|__APPLE__)")
  math(EXPR checked "${checked} + 1")
  if(lines)
    message(SEND_ERROR "${file} has a platform conditional: ${lines}")
  endif()
endforeach()
if(checked LESS 100)
  message(FATAL_ERROR "only ${checked} files found under ${SOURCES}")
endif()
message(STATUS "${checked} files without platform conditionals")
