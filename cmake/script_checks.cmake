# Checks run by ctest in the native build that need no Wine:
#  - release.exe_win32/_win64: subsystem, DLLs and icon of each Windows
#    build's SELDUNAX.EXE;
#  - release.products_link_no_fake: no shipped program links the fake
#    machine;
#  - release.sizes, release.imports (label "release"), when the i686
#    MinSizeRel build is named: the shipping programs' stripped sizes
#    against their limits and their imports against the functions Windows
#    95 has;
#  - demo.* (label "demo"): the demo's snapshots, pictures and verdict
#    logic (tests/demo/*_test.py), the verdict on the native checker's plan.
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

# The program's subsystem, DLLs and icon, in both Windows builds.
foreach(build_dir IN ITEMS ${SELDUNAX_WIN32_DIR} ${SELDUNAX_WIN64_DIR})
  if(build_dir STREQUAL SELDUNAX_WIN32_DIR)
    set(bits 32)
  else()
    set(bits 64)
  endif()
  add_test(NAME release.exe_win${bits}
           COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/scripts/check_exe.py
                   ${build_dir}/seldunax/SELDUNAX.EXE)
  set_tests_properties(release.exe_win${bits} PROPERTIES LABELS release
                       TIMEOUT 60)
endforeach()

# No shipped program links the fake machine of the unit tests: the native
# seldchk here, SELDUNAX.EXE, DEVEJECT.EXE and SELDCHK.EXE of each Windows
# build named.
set(product_links ${CMAKE_BINARY_DIR}/seldchk/CMakeFiles/seldchk.dir/link.txt)
foreach(build_dir IN ITEMS ${SELDUNAX_WIN32_DIR} ${SELDUNAX_WIN64_DIR})
  foreach(program IN ITEMS seldunax/SELDUNAX deveject/DEVEJECT seldchk/SELDCHK)
    get_filename_component(subdir ${program} DIRECTORY)
    get_filename_component(target ${program} NAME)
    list(APPEND product_links
         ${build_dir}/${subdir}/CMakeFiles/${target}.dir/link.txt)
  endforeach()
endforeach()
add_test(NAME release.products_link_no_fake
         COMMAND ${CMAKE_COMMAND} -P ${CMAKE_SOURCE_DIR}/cmake/check_no_fake.cmake
                 ${product_links})
set_tests_properties(release.products_link_no_fake PROPERTIES LABELS release
                     TIMEOUT 60)

file(GLOB demo_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/demo/*_test.py)
foreach(test_file IN LISTS demo_tests)
  get_filename_component(stem ${test_file} NAME_WE)
  string(REGEX REPLACE "_test$" "" stem ${stem})
  add_test(NAME demo.${stem} COMMAND Python3::Interpreter ${test_file})
  set_tests_properties(demo.${stem} PROPERTIES LABELS demo TIMEOUT 60
                       ENVIRONMENT
                       "PYTHONPATH=${CMAKE_SOURCE_DIR}/scripts:${CMAKE_SOURCE_DIR}/tests/e2e/harness;SELDUNAX_SELDCHK=$<TARGET_FILE:seldchk>")
endforeach()
