# cmake -P check_no_fake.cmake LINK_TXT...
#
# Fails when the link command of a shipped program (its link.txt, as the
# Makefile generator writes it, and the object lists beside it) names the
# in-memory machine of the unit tests: the library plat_fake or an object
# built from platform/fake. A missing link command fails too: the program
# was not built, or the build no longer says how it links.
set(checked 0)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE 3 ${last})
  set(link_txt "${CMAKE_ARGV${i}}")
  if(NOT EXISTS "${link_txt}")
    message(FATAL_ERROR "no link command at ${link_txt}")
  endif()
  get_filename_component(dir "${link_txt}" DIRECTORY)
  file(GLOB object_lists "${dir}/objects*" "${dir}/linkLibs*")
  list(FILTER object_lists EXCLUDE REGEX "\\.a$")
  foreach(file IN ITEMS "${link_txt}" ${object_lists})
    file(READ "${file}" text)
    if(text MATCHES "plat_fake|platform/fake/")
      message(FATAL_ERROR "${file} links the fake machine: ${CMAKE_MATCH_0}")
    endif()
  endforeach()
  math(EXPR checked "${checked} + 1")
endforeach()
message(STATUS "${checked} programs link no fake machine")
