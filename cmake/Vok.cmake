# Helpers shared by every folder's CMakeLists.txt.

# vok_component(NAME SOURCES... LIBS...): a component server, lib<NAME>.so, exporting only
# its Dll* entry points.
function(vok_component name)
  cmake_parse_arguments(C "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} SHARED ${C_SOURCES})
  target_link_libraries(${name} PRIVATE ${C_LIBS})
  # Hidden visibility still exports the standard library's unique template instances; the
  # version script keeps the dynamic symbol table to the entry points.
  set(map ${CMAKE_SOURCE_DIR}/cmake/component.map)
  target_link_options(${name} PRIVATE -Wl,--no-undefined -Wl,--version-script=${map})
  set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${map})
endfunction()

# vok_test(NAME SOURCES... LIBS...): a GoogleTest program run by CTest. The shared test main
# points HOME, QUILLO_HOME and the XDG folders at a fresh temporary folder.
function(vok_test name)
  if(VOK_FUZZ)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} vok_test_main GTest::gtest GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
                                  ENVIRONMENT_MODIFICATION "VOK_BUILD_DIR=set:${CMAKE_BINARY_DIR}")
endfunction()

# vok_bench(NAME SOURCES... LIBS...): a Google Benchmark program (not run by CTest).
function(vok_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark_main)
endfunction()

# vok_fuzz(NAME SOURCES... LIBS...): a libFuzzer target.
function(vok_fuzz name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  # `fuzzers` builds the fuzz targets and what they link, not the whole tree.
  if(NOT TARGET fuzzers)
    add_custom_target(fuzzers)
  endif()
  add_dependencies(fuzzers ${name})
endfunction()
