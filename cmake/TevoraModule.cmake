# tevora_module(<target> DIR <folder> [EXCLUDE <subfolder>...] LINK <libs...>)
# Builds every .cpp below <folder> into one static library. Sources are globbed so that work
# in separate subfolders never edits a shared list.
function(tevora_module target)
  cmake_parse_arguments(ARG "" "DIR" "EXCLUDE;LINK" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${ARG_DIR}/*.cpp ${ARG_DIR}/*.h ${ARG_DIR}/*.qrc)
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "^${ARG_DIR}/${ex}/")
  endforeach()
  list(FILTER sources INCLUDE REGEX "\\.(cpp|h|qrc)$")
  set(cpp ${sources})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  if(cpp)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_LINK})
  else()
    # A layer with no sources yet still carries its include path and dependencies.
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_LINK})
  endif()
endfunction()

# tevora_tests(<folder> LINK <libs...>)
# Every subfolder of <folder> holding test_*.cpp becomes one GoogleTest executable, named after
# its path; each test case is a ctest entry and runs offscreen in its own temporary folders.
function(tevora_tests dir)
  cmake_parse_arguments(ARG "" "" "LINK" ${ARGN})
  file(GLOB_RECURSE tests CONFIGURE_DEPENDS ${dir}/test_*.cpp)
  set(folders "")
  foreach(t IN LISTS tests)
    get_filename_component(f ${t} DIRECTORY)
    list(APPEND folders ${f})
  endforeach()
  list(REMOVE_DUPLICATES folders)
  foreach(f IN LISTS folders)
    file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR}/tests ${f})
    string(REPLACE "/" "_" name "test_${rel}")
    file(GLOB srcs CONFIGURE_DEPENDS ${f}/*.cpp ${f}/*.h ${f}/*.qrc)
    add_executable(${name} ${srcs})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
    target_link_libraries(${name} PRIVATE ${ARG_LINK} tevora_testsupport GTest::gmock)
    target_compile_definitions(${name} PRIVATE
      TEVORA_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
      TEVORA_FIXTURES_DIR="${CMAKE_SOURCE_DIR}/tests/fixtures"
      TEVORA_BINARY_DIR="${CMAKE_BINARY_DIR}")
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8" TIMEOUT 300)
  endforeach()
endfunction()

# tevora_benches(<folder> LINK <libs...>): each bench_*.cpp is one Google Benchmark program.
function(tevora_benches dir)
  cmake_parse_arguments(ARG "" "" "LINK" ${ARGN})
  file(GLOB_RECURSE benches CONFIGURE_DEPENDS ${dir}/bench_*.cpp)
  foreach(b IN LISTS benches)
    get_filename_component(name ${b} NAME_WE)
    add_executable(${name} ${b})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_LINK} tevora_benchsupport benchmark::benchmark)
    target_compile_definitions(${name} PRIVATE TEVORA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  endforeach()
endfunction()
