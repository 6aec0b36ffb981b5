# Test programs whose tests start threads (serial layer, download, board emulator); ./test.sh
# runs them again in a ThreadSanitizer build, selected by the label "threads".
set(VEXA_THREAD_TESTS
  vexa_platform_tests
  boardemu_tests
  vx2dl_tests
  vexa_v2download_tests
  vxbas32_download_tests
  vexaide_v2download_tests
  vexaide_worker_tests
  vexaide_v2compiler_tests
  vexaide_v2simulator_tests
  vexaide_quorin_tests
  vexaide_basicproject_tests
  vexaide_basic_endtoend_tests
  vexaide_v2project_tests
  vexaide_v2_endtoend_tests
  vexaide_v2_debug_endtoend_tests)

# vexa_add_test(<name> SOURCES <files...> LIBS <targets...> [ENVIRONMENT <VAR=value>])
# One GoogleTest program; every TEST becomes its own CTest case.
function(vexa_add_test name)
  if(NOT BUILD_TESTING)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  set(label unit)
  if(name IN_LIST VEXA_THREAD_TESTS)
    set(label threads)
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
