# Registers the fuzz targets of a clang build tree (-DSTAVLO_FUZZ=ON) as ctest
# tests of this build, label "fuzz". Each runs briefly on a copy of its seed
# corpus in this build tree. The same file, run with cmake -P, is that test.
#
# A new target <name>_fuzz with seeds in corpus/<name>/: one stavlo_fuzz_target
# line in CMakeLists.txt and one stavlo_fuzz_test line here.

if(CMAKE_SCRIPT_MODE_FILE)
  if(NOT EXISTS "${FUZZER}")
    message(FATAL_ERROR "no fuzz target ${FUZZER}: build it with ninja -C <fuzz build tree>")
  endif()
  file(REMOVE_RECURSE "${WORK}")
  file(MAKE_DIRECTORY "${WORK}/corpus")
  file(GLOB seeds "${SEEDS}/*")
  if(seeds)
    file(COPY ${seeds} DESTINATION "${WORK}/corpus")
  endif()
  # -timeout catches a hang, -malloc_limit_mb an allocation out of proportion.
  execute_process(
    COMMAND "${FUZZER}" -max_total_time=${SECONDS} -timeout=10 -malloc_limit_mb=256
            -print_final_stats=1 "-artifact_prefix=${WORK}/" "${WORK}/corpus"
    WORKING_DIRECTORY "${WORK}"
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${FUZZER} failed (${status}); the input that did it is in ${WORK}")
  endif()
  return()
endif()

set(STAVLO_FUZZ_BUILD_DIR "" CACHE PATH "clang build tree with -DSTAVLO_FUZZ=ON whose fuzz targets ctest runs")
set(STAVLO_FUZZ_SECONDS 20 CACHE STRING "how long ctest runs each fuzz target")
set(_stavlo_fuzz_dir "${CMAKE_CURRENT_LIST_DIR}")
set(_stavlo_fuzz_script "${CMAKE_CURRENT_LIST_FILE}")

function(stavlo_fuzz_test name)
  if(NOT STAVLO_FUZZ_BUILD_DIR)
    return()
  endif()
  add_test(NAME fuzz.${name}
           COMMAND ${CMAKE_COMMAND}
                   "-DFUZZER=${STAVLO_FUZZ_BUILD_DIR}/tests/fuzz/${name}_fuzz"
                   "-DSEEDS=${_stavlo_fuzz_dir}/corpus/${name}"
                   "-DWORK=${CMAKE_BINARY_DIR}/fuzz/${name}"
                   "-DSECONDS=${STAVLO_FUZZ_SECONDS}"
                   -P "${_stavlo_fuzz_script}")
  set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz TIMEOUT 300)
endfunction()

stavlo_fuzz_test(ini)
stavlo_fuzz_test(tree)
stavlo_fuzz_test(shell_link)
