# Compiles each of SOURCES with COMPILER (MinGW-w64) into WORK, C++20 with
# FLAGS; fails on the first error or warning.
file(MAKE_DIRECTORY ${WORK}/include)
file(COPY ${INIH_HEADER} DESTINATION ${WORK}/include)
foreach(source ${SOURCES})
  get_filename_component(name ${source} NAME_WE)
  execute_process(
    COMMAND ${COMPILER} -std=c++20 ${FLAGS} -I${SOURCE_ROOT} -I${WORK}/include -c ${source} -o ${WORK}/${name}.o
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0 OR NOT out STREQUAL "")
    message(FATAL_ERROR "${name}.cpp does not compile cleanly for Windows:\n${out}")
  endif()
  message(STATUS "${name}.cpp: compiled for Windows")
endforeach()
