# Checks that every file the build compiles gets the project's warning
# flags: a target that escaped glimmerfall_apply_warnings() (defined after
# the walk, or in a folder outside the tree) would build with the
# compiler's defaults and hide its warnings.
#   cmake -DCOMPILE_COMMANDS=<build>/compile_commands.json -DFLAGS="-Wall;-Wshadow" -P check_warning_flags.cmake
cmake_minimum_required(VERSION 3.25)
file(READ ${COMPILE_COMMANDS} commands)
string(JSON count LENGTH "${commands}")
if(count EQUAL 0)
  message(FATAL_ERROR "${COMPILE_COMMANDS} lists no file")
endif()
math(EXPR last "${count} - 1")
set(missing)
foreach(i RANGE ${last})
  string(JSON command GET "${commands}" ${i} command)
  string(JSON source GET "${commands}" ${i} file)
  separate_arguments(words UNIX_COMMAND "${command}")
  foreach(flag ${FLAGS})
    if(NOT flag IN_LIST words)
      list(APPEND missing "${source}: no ${flag}")
    endif()
  endforeach()
endforeach()
if(missing)
  list(JOIN missing "\n" report)
  message(FATAL_ERROR "compiled without the project's warnings:\n${report}")
endif()
message(STATUS "${count} files, each with ${FLAGS}")
