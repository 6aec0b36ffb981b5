# vexa_add_test(<name> [THREADS] SOURCES <files...> LIBS <targets...> [ENVIRONMENT <VAR=value>...]
#               [GROUPS <n>] [TIMEOUT <seconds>] [ALONE <Suite.Name>...])
# One GoogleTest program, registered by vexa_add_test_groups. THREADS marks a program
# whose tests start threads: its entries get the label "threads" (./test.sh runs them again
# in a ThreadSanitizer build) and the target vexa_thread_tests builds it.
# Sanitizer builds compile test programs without optimisation: with the instrumentation,
# -O1 more than doubles the time of a test file full of GoogleMock code, and the
# sanitizers see every access at -O0 too. The code under test keeps the build's level.
function(vexa_test_compile_options name)
  if(VEXA_SANITIZE)
    target_compile_options(${name} PRIVATE -O0)
  endif()
endfunction()

function(vexa_add_test name)
  if(NOT BUILD_TESTING)
    return()
  endif()
  cmake_parse_arguments(T "THREADS" "GROUPS;TIMEOUT" "SOURCES;LIBS;ENVIRONMENT;ALONE" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  vexa_test_compile_options(${name})
  set(label unit)
  if(T_THREADS)
    set(label threads)
    set_property(GLOBAL APPEND PROPERTY VEXA_THREAD_TESTS ${name})
  endif()
  vexa_add_test_groups(${name} LABEL ${label} GROUPS ${T_GROUPS} TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT ${T_ENVIRONMENT} ALONE ${T_ALONE})
endfunction()

# vexa_add_test_groups(<program> LABEL <label> [GROUPS <n>] [TIMEOUT <seconds>]
#                      [ENVIRONMENT <VAR=value>...] [ALONE <Suite.Name>...])
# CTest entries that each run a group of the program's tests in one process: the program
# split into GROUPS shards by GoogleTest's own sharding (entries <program>/1 .. /n, default
# one), and an entry <program>/<Suite.Name> for each ALONE test, which needs a process of
# its own and which the shards leave out. TIMEOUT (default 120) holds for each entry. An
# entry whose filter selects no test fails, so a misspelt ALONE name or too many shards
# shows.
function(vexa_add_test_groups program)
  cmake_parse_arguments(G "" "LABEL;GROUPS;TIMEOUT" "ENVIRONMENT;ALONE" ${ARGN})
  if(NOT G_GROUPS)
    set(G_GROUPS 1)
  endif()
  if(NOT G_TIMEOUT)
    set(G_TIMEOUT 120)
  endif()
  set(properties LABELS ${G_LABEL} TIMEOUT ${G_TIMEOUT}
    FAIL_REGULAR_EXPRESSION "Running 0 tests from")
  set(arguments)
  if(G_ALONE)
    list(JOIN G_ALONE ":" alone)
    set(arguments "--gtest_filter=-${alone}")
    foreach(test IN LISTS G_ALONE)
      add_test(NAME ${program}/${test} COMMAND ${program} --gtest_filter=${test}
        WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
      set_tests_properties(${program}/${test} PROPERTIES ${properties}
        SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
      if(G_ENVIRONMENT)
        set_tests_properties(${program}/${test} PROPERTIES ENVIRONMENT "${G_ENVIRONMENT}")
      endif()
    endforeach()
  endif()
  foreach(index RANGE 1 ${G_GROUPS})
    math(EXPR shard "${index} - 1")
    add_test(NAME ${program}/${index} COMMAND ${program} ${arguments}
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set(environment GTEST_TOTAL_SHARDS=${G_GROUPS} GTEST_SHARD_INDEX=${shard} ${G_ENVIRONMENT})
    # A program split into groups is a long one: ctest starts its groups first.
    set_tests_properties(${program}/${index} PROPERTIES ${properties} COST ${G_GROUPS}
      ENVIRONMENT "${environment}")
  endforeach()
endfunction()

# vexa_add_benchmark(<name> SOURCES <files...> LIBS <targets...>)
# Every LIBS entry must be a target of this configuration: one that exists only in some
# configurations (the test support without tests) stops the configure, not the build.
function(vexa_add_benchmark name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  foreach(lib IN LISTS B_LIBS)
    if(NOT TARGET ${lib})
      message(FATAL_ERROR "Benchmark ${name} links ${lib}, which is not a target in this configuration")
    endif()
  endforeach()
  find_package(benchmark REQUIRED)
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
endfunction()
