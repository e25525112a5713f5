# Shared precompiled headers. Parsing the standard library, Qt and GoogleTest headers is most of
# what a debug build spends per source file, so each kind of target reuses one header compiled
# once per build folder instead of parsing them anew (or compiling a header per target):
#
#   velmoran_pch_core       the standard library             (display-free code, its tools)
#   velmoran_pch_qt         the standard library and Qt      (widget code, its tools)
#   velmoran_pch_test_core  the standard library, GoogleTest (tests of display-free code)
#   velmoran_pch_test_qt    all three                        (widget tests)
#
# A target takes the header of the libraries it sees at compile time: Qt when it links Qt
# Widgets itself or through a library's public interface (then it is compiled with Qt's -fPIC,
# like the header), GoogleTest likewise. GCC uses a header only when the compiler flags that
# shape it match (-fPIC, the sanitizers), which holds because every target and owner shares
# velmoran_options, and when no macro the headers read is defined otherwise (QTest reads the
# test's own folder from a macro, so it stays out); -Winvalid-pch, which CMake adds, reports a
# header not used.

option(VELMORAN_PCH "Share precompiled standard, Qt and GoogleTest headers" ON)

set(VELMORAN_PCH_STD <algorithm> <array> <cmath> <cstdint> <filesystem> <functional> <map>
    <memory> <optional> <string> <string_view> <utility> <vector>)
set(VELMORAN_PCH_QT <QApplication> <QDialog> <QImage> <QKeyEvent> <QLabel> <QLineEdit>
    <QMouseEvent> <QPainter> <QPointer> <QPushButton> <QScrollBar> <QTimer> <QWidget>)
set(VELMORAN_PCH_GTEST <gtest/gtest.h>)

# velmoran_link_closure(<target> <out> [COMPILE_VISIBLE]): the targets and link items <target>
# reaches through its link libraries; with COMPILE_VISIBLE only those whose usage requirements
# reach its compilation (a static library's private dependencies, $<LINK_ONLY:...>, do not).
# Imported targets (Qt6::..., GTest::...) are listed but not walked into.
function(velmoran_link_closure target out)
  cmake_parse_arguments(ARG "COMPILE_VISIBLE" "" "" ${ARGN})
  get_target_property(pending ${target} LINK_LIBRARIES)
  if(NOT pending)
    set(pending)
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    get_target_property(pending ${target} INTERFACE_LINK_LIBRARIES)
  endif()
  set(seen)
  while(pending)
    list(POP_FRONT pending current)
    if(current MATCHES "^\\$<LINK_ONLY:(.*)>$")
      if(ARG_COMPILE_VISIBLE)
        continue()
      endif()
      set(current ${CMAKE_MATCH_1})
    endif()
    if(current IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${current})
    if(NOT TARGET ${current})
      continue()
    endif()
    get_target_property(imported ${current} IMPORTED)
    if(imported)
      continue()
    endif()
    get_target_property(links ${current} INTERFACE_LINK_LIBRARIES)
    if(links)
      list(APPEND pending ${links})
    endif()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# The targets defined in <dir> and below it.
function(velmoran_targets_below dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(children DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(child IN LISTS children)
    velmoran_targets_below(${child} below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

function(velmoran_pch_owner name)
  cmake_parse_arguments(ARG "" "" "HEADERS;DEPENDS" ${ARGN})
  add_library(${name} OBJECT ${CMAKE_SOURCE_DIR}/cmake/PrecompiledHeaders.cpp)
  target_link_libraries(${name} PRIVATE velmoran_options ${ARG_DEPENDS})
  target_precompile_headers(${name} PRIVATE ${ARG_HEADERS})
endfunction()

# Called once all targets are defined: gives every C++ target of the build one of the shared
# headers. Fuzz targets keep their own flags and compile without.
function(velmoran_share_precompiled_headers)
  # The fuzzers' clang build is left as it was: clang checks a header's macros more strictly.
  if(NOT VELMORAN_PCH OR VELMORAN_FUZZ)
    return()
  endif()
  velmoran_targets_below(${CMAKE_SOURCE_DIR} targets)
  set(owners)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(STATIC_LIBRARY|MODULE_LIBRARY|SHARED_LIBRARY|EXECUTABLE)$"
       OR target MATCHES "^fuzz_")
      continue()
    endif()
    get_target_property(sources ${target} SOURCES)
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    if(NOT sources)
      continue()
    endif()
    velmoran_link_closure(${target} visible COMPILE_VISIBLE)
    set(kind core)
    if("Qt6::Widgets" IN_LIST visible)
      set(kind qt)
    endif()
    if("GTest::gtest" IN_LIST visible OR "GTest::gtest_main" IN_LIST visible)
      set(kind test_${kind})
    endif()
    if(NOT kind IN_LIST owners)
      list(APPEND owners ${kind})
      set(headers ${VELMORAN_PCH_STD})
      set(depends)
      if(kind MATCHES "qt$")
        list(APPEND headers ${VELMORAN_PCH_QT})
        list(APPEND depends Qt6::Widgets)
      endif()
      if(kind MATCHES "^test_")
        list(APPEND headers ${VELMORAN_PCH_GTEST})
        list(APPEND depends GTest::gtest)
      endif()
      velmoran_pch_owner(velmoran_pch_${kind} HEADERS ${headers} DEPENDS ${depends})
    endif()
    target_precompile_headers(${target} REUSE_FROM velmoran_pch_${kind})
  endforeach()
endfunction()
