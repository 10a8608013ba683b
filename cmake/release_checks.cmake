# Checks of the shipping i686 programs, run by ctest in the native build
# when that build is named: their stripped sizes against the limits and
# their imports against the functions Windows 95 has. Both have the label
# "release".
set(SELDUNAX_WIN32_DIR "" CACHE PATH
    "i686 MinSizeRel Windows build whose programs the release checks look at")

if(SELDUNAX_WIN32_DIR)
  foreach(check sizes imports)
    add_test(NAME release.${check}
             COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check_${check}.sh
                     ${SELDUNAX_WIN32_DIR})
    set_tests_properties(release.${check} PROPERTIES LABELS release
                         TIMEOUT 60)
  endforeach()
endif()
