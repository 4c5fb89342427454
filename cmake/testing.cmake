# Test programs are Windows executables run by ctest under Wine through
# CMAKE_CROSSCOMPILING_EMULATOR. One ctest test per program: a Wine start costs about
# half a second under emulation.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_SOURCE_DIR}/scripts/wine-run;${CMAKE_BINARY_DIR}")

# qlm_add_gtest(<name> SOURCES ... [LIBS ...] [LABELS ...] [TIMEOUT s])
function(qlm_add_gtest name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} qlm_testmain qlm_testsupport qlm_dep_gmock qlm_dep_gtest)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
