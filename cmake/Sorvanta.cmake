# Project-wide build helpers shared by every room.

# Adds every folder below the current one that has a CMakeLists.txt: rooms whose
# members (tools, benchmarks, fuzz targets) each live in a folder of their own.
macro(sorvanta_add_subfolders)
  file(GLOB subfolders LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(subfolder IN LISTS subfolders)
    if(EXISTS ${subfolder}/CMakeLists.txt)
      add_subdirectory(${subfolder})
    endif()
  endforeach()
endmacro()

# ccache, when installed, hands back what the same compiler made from the same input
# before; a launcher given on the command line or in the environment wins, and
# CCACHE_DISABLE=1 turns it off for one build. In the Windows build, which records no
# debug information, paths inside the checkout reach the compiler relative to the build
# folder (CCACHE_BASEDIR), so a copy of the tree elsewhere, such as the release-files
# test's, is handed back what this one compiled. Where debug information is written,
# relative paths would change it, and the packages built that way would differ.
find_program(SORVANTA_CCACHE ccache)
set(sorvanta_ccache_launcher ${SORVANTA_CCACHE})
if(WIN32)
  set(sorvanta_ccache_launcher /usr/bin/env "CCACHE_BASEDIR=${PROJECT_SOURCE_DIR}"
                               "CCACHE_SLOPPINESS=pch_defines,time_macros" ${SORVANTA_CCACHE})
endif()
foreach(lang C CXX)
  if(SORVANTA_CCACHE AND NOT CMAKE_${lang}_COMPILER_LAUNCHER
     AND NOT DEFINED ENV{CMAKE_${lang}_COMPILER_LAUNCHER})
    set(CMAKE_${lang}_COMPILER_LAUNCHER ${sorvanta_ccache_launcher})
  endif()
endforeach()

# Warnings are errors in both presets.
function(sorvanta_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Werror)
endfunction()

# The fuzz build instruments every library for coverage and checks it with the
# sanitizers, so a fuzz target sees and checks the code it links, not only itself.
if(SORVANTA_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(SORVANTA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# LeakSanitizer's environment for tests that draw with Mesa, which keeps a few
# allocations for the life of the process; the suppressions name only Mesa's own
# libraries. The sanitizers split their options at blanks unless a value is quoted, and
# the checkout may live in a folder whose name has one.
set(SORVANTA_MESA_LEAKS_ENV
    "LSAN_OPTIONS=suppressions=\"${PROJECT_SOURCE_DIR}/tests/support/mesa-leaks.supp\"")

# Test programs are compiled without optimisation, whatever the build type. GCC takes
# twice as long at -O1, and several times as long at -O2, over what GoogleTest's macros
# and parameter tables expand to under the sanitizers (the TGA reader's test: 19 s at
# -O0, 41 s at -O1), and a test checks the product's code, which keeps the build
# type's level.
function(sorvanta_test_optimisation target)
  target_compile_options(${target} PRIVATE -O0)
endfunction()

# GoogleTest: Debian's package natively, its shipped sources for the MinGW build.
if(WIN32)
  if(NOT TARGET gtest)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    foreach(library gtest gtest_main gmock gmock_main)
      sorvanta_test_optimisation(${library})
    endforeach()
  endif()
  set(SORVANTA_GTEST_MAIN gtest_main)
  set(SORVANTA_GMOCK gmock)
else()
  find_package(GTest REQUIRED)
  set(SORVANTA_GTEST_MAIN GTest::gtest_main)
  set(SORVANTA_GMOCK GTest::gmock)
endif()

# Stops the configure when a test under tests/ is not named after its room.
function(sorvanta_check_test_name name)
  file(RELATIVE_PATH room ${PROJECT_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
  string(REPLACE "/" "_" room "${room}")
  if(NOT name MATCHES "^${room}_")
    message(FATAL_ERROR "test ${name} in tests/${room}: its name must begin with ${room}_")
  endif()
endfunction()

# A GoogleTest program registered with ctest.
#   sorvanta_test(NAME name SOURCES ... [LIBS ...] [LABELS ...] [ENV k=v ...])
# On Windows builds it runs under Wine (the cross-compiling emulator) and needs the
# shared Wine environment that the wine_env fixture starts.
# Its name begins with its room's path under tests/ (tests/saver/capture:
# saver_capture_...), so that a failing test's name says where it lives.
function(sorvanta_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
  sorvanta_check_test_name(${T_NAME})
  add_executable(${T_NAME} ${T_SOURCES})
  sorvanta_warnings(${T_NAME})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} ${SORVANTA_GTEST_MAIN})
  sorvanta_test_optimisation(${T_NAME})
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set(labels ${T_LABELS})
  if(NOT labels)
    set(labels unit)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES LABELS "${labels}" TIMEOUT 300)
  if(T_ENV)
    set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${T_ENV}")
  endif()
  if(WIN32)
    set_tests_properties(${T_NAME} PROPERTIES FIXTURES_REQUIRED wine_env RESOURCE_LOCK wine_env)
  endif()
endfunction()

# A pytest module under tests/e2e, run against the Windows build. Its temporary folder
# (prefix copies, screenshots, recordings) is build/windows/e2e/NAME, emptied when the
# module starts again. SERIAL modules time what they see and run with no other test
# beside them on the machine's cores.
# COST is the module's usual seconds: ctest starts the costliest first, so that the
# longest modules are not the last ones left running (after a run ctest uses the times
# it measured instead).
#   sorvanta_e2e(NAME name FILE test_x.py [SERIAL] [LABELS ...] [TIMEOUT s] [COST s])
function(sorvanta_e2e)
  cmake_parse_arguments(T "SERIAL" "NAME;FILE;TIMEOUT;COST" "LABELS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  set(labels ${T_LABELS})
  if(NOT labels)
    set(labels e2e wine)
  endif()
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/e2e)
  add_test(NAME ${T_NAME}
           COMMAND /usr/bin/python3 -m pytest -q -p no:cacheprovider
                   --basetemp=${CMAKE_BINARY_DIR}/e2e/${T_NAME}
                   ${PROJECT_SOURCE_DIR}/tests/e2e/${T_FILE}
           WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}/tests/e2e)
  set_tests_properties(${T_NAME} PROPERTIES
    LABELS "${labels}" TIMEOUT ${T_TIMEOUT} FIXTURES_REQUIRED wine_template
    ENVIRONMENT "SORVANTA_BUILD=${CMAKE_BINARY_DIR};SORVANTA_SOURCE=${PROJECT_SOURCE_DIR}")
  if(T_SERIAL)
    set_tests_properties(${T_NAME} PROPERTIES RUN_SERIAL TRUE)
  endif()
  if(T_COST)
    set_tests_properties(${T_NAME} PROPERTIES COST ${T_COST})
  endif()
endfunction()

# A libFuzzer target (fuzz preset, clang), registered with ctest to run a fixed number of
# inputs over a seed corpus folder; findings fail the test. A count rather than a time
# makes the suite's fuzzing the same however busy the machine is, so it can run at the
# lowest priority beside the other tests. Each target also gets a runner script,
# fuzz-targets/NAME.sh [SECONDS | -runs=N], that scripts/fuzz uses for longer runs. The
# corpus a run grows stays in the build folder; the seed folder is only read.
#   sorvanta_fuzz(NAME name SOURCES ... [LIBS ...] CORPUS dir RUNS n)
function(sorvanta_fuzz)
  cmake_parse_arguments(F "" "NAME;CORPUS;RUNS" "SOURCES;LIBS" ${ARGN})
  if(NOT F_RUNS)
    message(FATAL_ERROR "sorvanta_fuzz(${F_NAME}): RUNS is required")
  endif()
  add_executable(${F_NAME} ${F_SOURCES})
  sorvanta_warnings(${F_NAME})
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${F_NAME}-corpus)
  set(runner ${CMAKE_BINARY_DIR}/fuzz-targets/${F_NAME}.sh)
  file(GENERATE OUTPUT ${runner} CONTENT "#!/bin/sh
# Runs ${F_NAME} over its grown corpus and seeds for \$1 seconds (default 60), or for
# N inputs when \$1 is -runs=N.
case \${1:-60} in
  -runs=*) limit=\$1 ;;
  *) limit=-max_total_time=\${1:-60} ;;
esac
mkdir -p '${work}' || exit 1
ASAN_OPTIONS=detect_leaks=1 exec '$<TARGET_FILE:${F_NAME}>' \$limit \\
  -rss_limit_mb=2048 -print_final_stats=1 '${work}' '${F_CORPUS}'
")
  add_test(NAME ${F_NAME} COMMAND sh ${runner} -runs=${F_RUNS})
  set_tests_properties(${F_NAME} PROPERTIES LABELS fuzz TIMEOUT 900)
endfunction()

# Resource scripts embed the committed pictures of saver/assets; windres does not tell
# the build which files it read, so every use of a script names them as dependencies.
#   sorvanta_resources_depend_on_assets(rc_file ...)   in the directory that uses them
function(sorvanta_resources_depend_on_assets)
  file(GLOB assets CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/saver/assets/*)
  set_source_files_properties(${ARGN} PROPERTIES OBJECT_DEPENDS "${assets}")
endfunction()

# The Windows programs are release files that anyone can rebuild byte for byte: no
# folder of this checkout or of its build in the binaries, no link time in the PE
# header, static archives without member times, owners or modes.
if(WIN32)
  add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.>"
                      "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}=build>")
  add_link_options(LINKER:--no-insert-timestamp)
  foreach(lang C CXX)
    set(CMAKE_${lang}_ARCHIVE_CREATE "<CMAKE_AR> qcD <TARGET> <LINK_FLAGS> <OBJECTS>")
    set(CMAKE_${lang}_ARCHIVE_APPEND "<CMAKE_AR> qD <TARGET> <LINK_FLAGS> <OBJECTS>")
    set(CMAKE_${lang}_ARCHIVE_FINISH "<CMAKE_RANLIB> -D <TARGET>")
  endforeach()
endif()

# Most of a Win32 source's compile time goes to reading <windows.h> (1.3 s of 1.4 s for a
# typical *_win32.cpp here). The programs' Win32 sources therefore read one precompiled
# copy of the system headers they use, made once per build. Portable sources in the same
# targets, and the tests (compiled at -O0, which a header precompiled at the build
# type's level does not fit), read their headers as before. ccache hands back compiles
# that used the precompiled headers only with the sloppiness set here (see the
# launcher above).
set(SORVANTA_WINDOWS_HEADERS <windows.h> <string> <vector> <memory> <functional> <cstdint>)

function(sorvanta_targets_below folder out)
  get_property(found DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subfolders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
  foreach(subfolder IN LISTS subfolders)
    sorvanta_targets_below(${subfolder} below)
    list(APPEND found ${below})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

function(sorvanta_share_windows_headers)
  set(source ${PROJECT_BINARY_DIR}/windows_headers.cpp)
  file(CONFIGURE OUTPUT ${source} CONTENT "// Compiles the shared precompiled headers.\n")
  add_library(sorvanta_windows_headers OBJECT ${source})
  target_precompile_headers(sorvanta_windows_headers PRIVATE ${SORVANTA_WINDOWS_HEADERS})
  # -Wpedantic changes what the compiler predefines, so the users' warnings are its own.
  sorvanta_warnings(sorvanta_windows_headers)
  sorvanta_targets_below(${PROJECT_SOURCE_DIR} targets)
  set(tests_folder ${PROJECT_SOURCE_DIR}/tests)
  foreach(target IN LISTS targets)
    get_target_property(folder ${target} SOURCE_DIR)
    get_target_property(sources ${target} SOURCES)
    # A path compared as a path: the checkout's may hold characters a pattern would read.
    cmake_path(IS_PREFIX PROJECT_SOURCE_DIR "${folder}" NORMALIZE in_checkout)
    cmake_path(IS_PREFIX tests_folder "${folder}" NORMALIZE in_tests)
    if(in_tests OR NOT in_checkout OR NOT sources MATCHES "_win32\\.cpp")
      continue()
    endif()
    target_precompile_headers(${target} REUSE_FROM sorvanta_windows_headers)
    foreach(file IN LISTS sources)
      if(NOT file MATCHES "_win32\\.cpp$")
        set_source_files_properties(${file} TARGET_DIRECTORY ${target}
                                    PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
      endif()
    endforeach()
  endforeach()
endfunction()
