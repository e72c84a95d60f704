# Compiler warnings for every target the project defines, set per target
# rather than for the whole directory tree, so that imported and third-party
# code keeps its own flags. The top-level list calls
# glimmerfall_apply_warnings() once, after every add_subdirectory(): it walks
# the directory tree and sets the flags on each library and program found,
# so a new target anywhere is covered without a line in its own list.
#
# GLIMMERFALL_WERROR turns every warning into an error; scripts/test sets it
# when CI is set, for the normal and the sanitized build alike.

option(GLIMMERFALL_WERROR "Treat compiler warnings as errors" OFF)

set(GLIMMERFALL_WARNING_FLAGS -Wall -Wextra -Wshadow -Wpedantic)
if(GLIMMERFALL_WERROR)
  list(APPEND GLIMMERFALL_WARNING_FLAGS -Werror)
endif()

# Sets the warning flags on the targets defined in `dir` and below.
function(glimmerfall_apply_warnings dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
      target_compile_options(${target} PRIVATE ${GLIMMERFALL_WARNING_FLAGS})
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir ${subdirs})
    glimmerfall_apply_warnings(${subdir})
  endforeach()
endfunction()
