# Shared build settings: warnings, ccache, sanitizers, and the helpers every folder uses
# to declare its library, its tests, its tools and its benchmarks.

find_program(VELMORAN_CCACHE ccache)
if(VELMORAN_CCACHE)
  # Precompiled headers only stay cacheable with these sloppiness settings.
  set(CMAKE_CXX_COMPILER_LAUNCHER
      ${CMAKE_COMMAND} -E env
      "CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime"
      ${VELMORAN_CCACHE})
endif()

add_library(velmoran_options INTERFACE)
target_compile_options(velmoran_options INTERFACE -Wall -Wextra)
target_include_directories(velmoran_options INTERFACE ${CMAKE_SOURCE_DIR})
if(VELMORAN_SANITIZE)
  # Line tables are all a sanitizer report needs; full debug information only slows the build.
  target_compile_options(velmoran_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined
    $<$<CONFIG:Debug>:-g1>)
  target_link_options(velmoran_options INTERFACE -fsanitize=address,undefined)
endif()
if(VELMORAN_FUZZ)
  # Coverage for the fuzzers in every library they reach; undefined behaviour stops the run, so
  # that it counts as a finding.
  target_compile_options(velmoran_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined
    -fno-sanitize-recover=undefined)
  target_link_options(velmoran_options INTERFACE -fsanitize=address,undefined)
endif()
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  target_compile_options(velmoran_options INTERFACE -Xclang -fno-pch-timestamp)
endif()

# GCC 12 at -O2 and above reports faults inside std::string code inlined from char_traits.h where
# none can occur: overlapping copies (-Wrestrict), copies beyond the largest possible object
# (-Wstringop-overflow) and, where that one is off, the same copies as pointer overflow or reads
# past a string's end (-Warray-bounds), for a text put before a temporary string (`"x" + Name()`)
# or a short text assigned to a string. These are that compiler's known false positives (GCC bugs
# 105329, 105651 and their kin); every place it named was looked at and holds no fault. They are
# silenced for that compiler alone: in the optimised builds of every library, and in the tests,
# tools and benchmarks throughout (velmoran_quiet_gcc12_string_warnings() in their folders).
set(VELMORAN_GCC12 OFF)
set(VELMORAN_GCC12_STRING_WARNINGS -Wno-restrict -Wno-stringop-overflow -Wno-array-bounds)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
   AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  set(VELMORAN_GCC12 ON)
  target_compile_options(velmoran_options INTERFACE
    "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:${VELMORAN_GCC12_STRING_WARNINGS}>")
endif()

function(velmoran_quiet_gcc12_string_warnings)
  if(VELMORAN_GCC12)
    add_compile_options(${VELMORAN_GCC12_STRING_WARNINGS})
  endif()
endfunction()

include(PrecompiledHeaders)

# velmoran_library(<layer> SOURCES ... DEPENDS ...)
# builds the static library velmoran_<layer> (slashes become underscores).
function(velmoran_library layer)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  string(REPLACE "/" "_" name "velmoran_${layer}")
  add_library(${name} STATIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC velmoran_options ${ARG_DEPENDS})
endfunction()

# velmoran_test(<suite> [QT] SOURCES ... DEPENDS ...)
# one GoogleTest program per suite, named after its folder ("html.style" for tests/html/style);
# every test is named "<suite>.<Case>.<Test>" in ctest. A QT suite runs with the application object
# made by the shared test main, offscreen.
function(velmoran_test suite)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;DEPENDS" ${ARGN})
  string(REPLACE "." "_" target "test_${suite}")
  add_executable(${target} ${ARG_SOURCES})
  # Tests share most of their headers within a suite: compiled four files at a time they are
  # parsed once a batch, which roughly halves what the suites cost to build. GCC takes a fixture
  # in a file's anonymous namespace, included into a batch, for one shared with other files;
  # each batch is still a translation unit of its own.
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 4)
  target_compile_options(${target} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Wno-subobject-linkage>)
  if(ARG_QT)
    target_link_libraries(${target} PRIVATE velmoran_test_support)
  else()
    target_link_libraries(${target} PRIVATE velmoran_test_support_core GTest::gtest_main)
  endif()
  target_link_libraries(${target} PRIVATE velmoran_options ${ARG_DEPENDS} GTest::gtest)
  target_compile_definitions(${target} PRIVATE
    VELMORAN_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data"
    VELMORAN_DATA_DIR="${CMAKE_SOURCE_DIR}/data"
    VELMORAN_ARTIFACTS="${CMAKE_BINARY_DIR}/artifacts")
  gtest_discover_tests(${target}
    TEST_PREFIX "${suite}."
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# velmoran_tool(<name> SOURCES ... DEPENDS ...): a developer program, not installed.
function(velmoran_tool name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE velmoran_options ${ARG_DEPENDS})
endfunction()

# velmoran_bench(<name> SOURCES ... DEPENDS ...): a Google Benchmark program.
function(velmoran_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(bench_${name} ${ARG_SOURCES})
  target_link_libraries(bench_${name} PRIVATE velmoran_options ${ARG_DEPENDS} benchmark::benchmark benchmark::benchmark_main)
endfunction()

# velmoran_fuzz(<name> SOURCES ... DEPENDS ...): a libFuzzer target, only with VELMORAN_FUZZ.
function(velmoran_fuzz name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  if(NOT VELMORAN_FUZZ)
    return()
  endif()
  add_executable(fuzz_${name} ${ARG_SOURCES})
  target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(fuzz_${name} PRIVATE velmoran_options ${ARG_DEPENDS})
endfunction()

# Adds every sub-folder of the current folder that has a CMakeLists.txt.
function(velmoran_add_subfolders)
  file(GLOB children CONFIGURE_DEPENDS LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# velmoran_check_display_free(<target> ...): stops the configuration when one of the libraries
# reaches a Qt library through its link dependencies; the model must run without a display.
function(velmoran_check_display_free)
  foreach(target IN LISTS ARGN)
    velmoran_link_closure(${target} reached)
    foreach(current IN LISTS reached)
      if(current MATCHES "^Qt[0-9]*::")
        message(FATAL_ERROR "${target} links ${current}: the model libraries must link no Qt")
      endif()
    endforeach()
  endforeach()
endfunction()
