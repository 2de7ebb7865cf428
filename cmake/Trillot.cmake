# Shared helpers for the per-folder targets.

function(trillot_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow)
  if(TRILLOT_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# Unity builds (TRILLOT_UNITY): a folder's "unity-batches.txt" lists groups of its sources, one
# group per line, that compile as one translation unit each, so that the headers they share
# are parsed once per group. Two files of a line must not define the same file-scope name
# (anonymous namespaces, static functions, fixtures, aliases, macros); scripts/unity-batches
# writes the lists. A file not listed compiles alone, so a new file never breaks the build:
# rerun the script to batch it. A folder of several targets shares one list, each line of one
# target's files; every target of the folder sets the same groups, so the last name wins.
function(trillot_unity target)
  set(list ${CMAKE_CURRENT_SOURCE_DIR}/unity-batches.txt)
  if(NOT TRILLOT_UNITY OR NOT EXISTS ${list})
    return()
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${list})
  file(STRINGS ${list} lines REGEX "^[^#]")
  set(index 0)
  foreach(line IN LISTS lines)
    string(REPLACE " " ";" files "${line}")
    foreach(f IN LISTS files)
      if(f)
        set_source_files_properties(${f} PROPERTIES UNITY_GROUP ${target}_${index})
      endif()
    endforeach()
    math(EXPR index "${index} + 1")
  endforeach()
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_MODE GROUP)
  # GCC takes a source included into a unit for a header, and warns when a class of it derives
  # from one in an anonymous namespace (a gtest TEST_F of a file-local fixture).
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wno-subobject-linkage)
  endif()
endfunction()

# A static library from every source directly in a folder (subfolders listed by the caller).
function(trillot_library target)
  cmake_parse_arguments(ARG "QT" "" "DIRS;LIBS" ${ARGN})
  if(NOT ARG_DIRS)
    set(ARG_DIRS .)
  endif()
  set(sources)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  if(NOT sources)
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${target}_empty.cpp "// no sources yet\n")
    set(sources ${CMAKE_CURRENT_BINARY_DIR}/${target}_empty.cpp)
  endif()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ARG_LIBS})
  trillot_warnings(${target})
  trillot_unity(${target})
  if(ARG_QT)
    target_link_libraries(${target} PUBLIC Qt6::Widgets)
  else()
    set_property(GLOBAL APPEND PROPERTY TRILLOT_CORE_TARGETS ${target})
  endif()
endfunction()

# A plug-in: a shared module that exports only its C entry points.
function(trillot_plugin target output_name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${target} MODULE ${ARG_SOURCES})
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${output_name} PREFIX ""
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS})
  # Static libraries linked in stay private to the plug-in, so the host never binds to them.
  target_link_options(${target} PRIVATE -Wl,-Bsymbolic -Wl,--exclude-libs,ALL)
  # clang's sanitizer runtimes live in the program, not in the module: leave them unresolved.
  if(NOT TRILLOT_FUZZ)
    target_link_options(${target} PRIVATE -Wl,--no-undefined)
  endif()
  trillot_warnings(${target})
endfunction()

# One GoogleTest executable per folder; every test case becomes one CTest test. GoogleTest and
# GoogleMock come from a precompiled header (TRILLOT_PCH).
function(trillot_test target)
  cmake_parse_arguments(ARG "QT" "" "DIRS;LIBS" ${ARGN})
  if(NOT ARG_DIRS)
    set(ARG_DIRS .)
  endif()
  set(sources)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*Test.cpp)
    list(APPEND sources ${found})
  endforeach()
  if(NOT sources)
    return()
  endif()
  add_executable(${target} ${sources})
  set(env "TRILLOT_PROFILE=${CMAKE_CURRENT_BINARY_DIR}/${target}.conf;TRILLOT_RUNTIME_DIR=${CMAKE_CURRENT_BINARY_DIR}")
  set(pch <gtest/gtest.h> <gmock/gmock.h>)
  if(ARG_QT)
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} trillot_qt_test_main Qt6::Widgets Qt6::Test
                          GTest::gtest GTest::gmock)
    set(env "QT_QPA_PLATFORM=offscreen;${env}")
    list(APPEND pch <QtWidgets/QWidget> <QtTest/QTest>)
  else()
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  endif()
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(${target} PRIVATE
    TRILLOT_BIN_DIR="${TRILLOT_BIN_DIR}" TRILLOT_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  trillot_warnings(${target})
  trillot_unity(${target})
  if(TRILLOT_PCH)
    target_precompile_headers(${target} PRIVATE ${pch})
    # Through a precompiled header GCC 12 reports its own std::string copies in libstdc++ as
    # out of bounds (false positives that the same file without it does not get).
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      target_compile_options(${target} PRIVATE -Wno-array-bounds -Wno-stringop-overflow
                             -Wno-stringop-overread -Wno-restrict)
    endif()
  endif()
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "${env}")
endfunction()

# The window side: a library of a folder on Qt6::Widgets (not a core target, so the Qt check
# below does not walk it), and a test program whose own main runs a QApplication offscreen.
function(trillot_qt_library target)
  trillot_library(${target} QT ${ARGN})
endfunction()

function(trillot_qt_test target)
  trillot_test(${target} QT ${ARGN})
endfunction()

# Core libraries must never reach Qt: walk their link closure and fail the configure if they do.
function(_trillot_collect_links target out)
  set(seen ${${out}})
  if(NOT TARGET ${target})
    if("${target}" MATCHES "Qt6|Qt5")
      list(APPEND seen ${target})
    endif()
    set(${out} ${seen} PARENT_SCOPE)
    return()
  endif()
  get_target_property(links ${target} LINK_LIBRARIES)
  get_target_property(ilinks ${target} INTERFACE_LINK_LIBRARIES)
  foreach(l IN LISTS links ilinks)
    if(l AND NOT l MATCHES "NOTFOUND")
      if("${l}" MATCHES "Qt6|Qt5")
        list(APPEND seen "${target}->${l}")
      elseif(TARGET ${l} AND NOT "${l}" IN_LIST _trillot_visited)
        list(APPEND _trillot_visited ${l})
        set(_trillot_visited ${_trillot_visited} PARENT_SCOPE)
        _trillot_collect_links(${l} seen)
      endif()
    endif()
  endforeach()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(trillot_check_core_targets)
  get_property(cores GLOBAL PROPERTY TRILLOT_CORE_TARGETS)
  foreach(t IN LISTS cores)
    set(qt)
    set(_trillot_visited)
    _trillot_collect_links(${t} qt)
    if(qt)
      message(FATAL_ERROR "Core target ${t} links Qt: ${qt}")
    endif()
  endforeach()
endfunction()

# A Google Benchmark program; registered with CTest under the label "perf", which the test
# script leaves out, so it only reports figures when run by hand.
function(trillot_benchmark target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT TRILLOT_BENCHMARKS)
    return()
  endif()
  find_package(benchmark REQUIRED)
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} benchmark::benchmark)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(${target} PRIVATE TRILLOT_BIN_DIR="${TRILLOT_BIN_DIR}")
  trillot_warnings(${target})
  add_test(NAME ${target} COMMAND ${target} --benchmark_min_time=0.05)
  set_tests_properties(${target} PROPERTIES LABELS perf)
endfunction()

# A GoogleTest program that runs as one CTest test against a JACK server of its own
# (scripts/with-jack), with the MIDI system forced to JACK. Skipped, with CTest's skip code,
# only when jackd cannot start.
function(trillot_jack_test target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(${target} PRIVATE
    TRILLOT_BIN_DIR="${TRILLOT_BIN_DIR}" TRILLOT_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  trillot_warnings(${target})
  add_test(NAME ${target} COMMAND ${PROJECT_SOURCE_DIR}/scripts/with-jack $<TARGET_FILE:${target}>)
  set_tests_properties(${target} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120
    ENVIRONMENT "TRILLOT_MIDI_API=jack;TRILLOT_PROFILE=${CMAKE_CURRENT_BINARY_DIR}/${target}.conf;TRILLOT_RUNTIME_DIR=${CMAKE_CURRENT_BINARY_DIR}")
endfunction()
