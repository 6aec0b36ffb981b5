# vexa_add_test(<name> [THREADS] SOURCES <files...> LIBS <targets...> [ENVIRONMENT <VAR=value>])
# One GoogleTest program; every TEST becomes its own CTest case. THREADS marks a program
# whose tests start threads: its tests get the label "threads" (./test.sh runs them again
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
  cmake_parse_arguments(T "THREADS" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  vexa_test_compile_options(${name})
  set(label unit)
  if(T_THREADS)
    set(label threads)
    set_property(GLOBAL APPEND PROPERTY VEXA_THREAD_TESTS ${name})
  endif()
  set(properties TIMEOUT 120 LABELS ${label})
  if(T_ENVIRONMENT)
    # One variable: test discovery splits a list into separate properties.
    list(APPEND properties ENVIRONMENT "${T_ENVIRONMENT}")
  endif()
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    DISCOVERY_TIMEOUT 120
    PROPERTIES ${properties})
endfunction()

# vexa_add_benchmark(<name> SOURCES <files...> LIBS <targets...>)
function(vexa_add_benchmark name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
endfunction()
