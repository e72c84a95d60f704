# Reads the list of the game's data files (src/data_files.list) for the whole
# build. Included from the top-level list before any folder, it gives
#   GLIMMERFALL_DATA_FILES    the file names, in the list's order
#   GLIMMERFALL_DATA_OUTPUTS  the same files in the build's data folder
#   gf_data_files             an INTERFACE library whose include folder holds
#                             data_files.h, the list as C++ constants
# A malformed line stops the configure step, naming the line.

set(GLIMMERFALL_DATA_FILE_LIST ${CMAKE_CURRENT_LIST_DIR}/../src/data_files.list)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${GLIMMERFALL_DATA_FILE_LIST})

set(GLIMMERFALL_DATA_FILES)
set(data_names)
set(data_constants)
set(data_table)
file(STRINGS ${GLIMMERFALL_DATA_FILE_LIST} data_lines)
foreach(line IN LISTS data_lines)
  string(REGEX REPLACE "#.*" "" fields "${line}")
  string(REGEX MATCHALL "[^ \t]+" fields "${fields}")
  if(NOT fields)
    continue()
  endif()
  list(LENGTH fields count)
  if(NOT count EQUAL 5)
    message(FATAL_ERROR "${GLIMMERFALL_DATA_FILE_LIST}: five columns wanted, not ${count}: ${line}")
  endif()
  list(GET fields 0 name)
  list(GET fields 1 file)
  list(GET fields 2 kind)
  list(GET fields 3 maker)
  list(GET fields 4 loader)
  if(NOT name MATCHES "^[a-z][A-Za-z0-9]*$" OR NOT file MATCHES "^[A-Za-z0-9_][A-Za-z0-9_.-]*$"
     OR NOT kind MATCHES "^(image|sound|figure)$"
     OR NOT maker MATCHES "^[a-z_0-9]+$" OR NOT loader MATCHES "^[a-z_0-9]+$")
    message(FATAL_ERROR "${GLIMMERFALL_DATA_FILE_LIST}: not a name, a file name, a kind "
                        "(image, sound, figure) and two module names: ${line}")
  endif()
  if(name IN_LIST data_names OR file IN_LIST GLIMMERFALL_DATA_FILES)
    message(FATAL_ERROR "${GLIMMERFALL_DATA_FILE_LIST}: listed twice: ${line}")
  endif()
  list(APPEND data_names ${name})
  list(APPEND GLIMMERFALL_DATA_FILES ${file})
  string(APPEND data_constants "inline constexpr char ${name}[] = \"${file}\";\n")
  string(APPEND data_table "    {\"${name}\", ${name}, DataKind::${kind}, \"${maker}\", \"${loader}\"},\n")
endforeach()
if(NOT GLIMMERFALL_DATA_FILES)
  message(FATAL_ERROR "${GLIMMERFALL_DATA_FILE_LIST} lists no file")
endif()
list(TRANSFORM GLIMMERFALL_DATA_FILES PREPEND ${GLIMMERFALL_DATA_DIR}/ OUTPUT_VARIABLE GLIMMERFALL_DATA_OUTPUTS)

# configure_file writes the header only when its text changes, so editing a
# comment in the list rebuilds nothing.
set(GLIMMERFALL_DATA_FILE_CONSTANTS "${data_constants}")
set(GLIMMERFALL_DATA_FILE_TABLE "${data_table}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/data_files.h.in ${CMAKE_BINARY_DIR}/generated/data_files.h @ONLY)
add_library(gf_data_files INTERFACE)
target_include_directories(gf_data_files INTERFACE ${CMAKE_BINARY_DIR}/generated)
