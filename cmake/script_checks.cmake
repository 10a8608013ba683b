# Checks run by ctest in the native build that need no Wine:
#  - release.sizes, release.imports (label "release"), when the i686
#    MinSizeRel build is named: the shipping programs' stripped sizes
#    against their limits and their imports against the functions Windows
#    95 has;
#  - demo.verdict: the demo's verdict logic on made-up machines.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

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

add_test(NAME demo.verdict
         COMMAND Python3::Interpreter
                 ${CMAKE_SOURCE_DIR}/tests/demo/verdict_test.py)
set_tests_properties(demo.verdict PROPERTIES LABELS demo TIMEOUT 60)
