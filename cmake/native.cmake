# Native side: the portable logic under AddressSanitizer and UBSan, the
# fuzz drivers, the Windows build as a sub-build, and the Wine tests.
include(ExternalProject)
enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)

set(SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

add_library(vorlane_portable STATIC ${PORTABLE_SOURCES})
target_include_directories(vorlane_portable PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(vorlane_portable PUBLIC ${VORLANE_TEXT_FLAGS} ${SANITIZE} -Wall -Wextra)
target_link_options(vorlane_portable PUBLIC ${SANITIZE})

file(GLOB NATIVE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
add_executable(native_tests ${NATIVE_TESTS})
target_link_libraries(native_tests vorlane_portable GTest::gtest_main)
gtest_discover_tests(native_tests TEST_PREFIX "native." PROPERTIES LABELS native)

# Each fuzz target also runs as a bounded random-input test.
file(GLOB FUZZ_TARGETS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_*.cpp)
foreach(src ${FUZZ_TARGETS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src} ${CMAKE_SOURCE_DIR}/tests/fuzz/random_driver.cpp)
  target_link_libraries(${name} vorlane_portable)
  add_test(NAME native.${name} COMMAND ${name} 200000)
  set_tests_properties(native.${name} PROPERTIES LABELS native)
endforeach()

# The Windows program and its tests, cross-compiled for one width: the tree
# build/NAME, its program copied to build/EXE.
function(windows_build name toolchain exe)
  ExternalProject_Add(${name}
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/${name}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/${toolchain}.cmake
               -DCMAKE_BUILD_TYPE=Release
    BUILD_ALWAYS ON
    INSTALL_COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/${name}/Vorlane.exe
                    ${CMAKE_BINARY_DIR}/${exe}
    USES_TERMINAL_BUILD ON)
endfunction()
windows_build(win mingw-i686 Vorlane.exe)
windows_build(winx64 mingw-x86_64 Vorlane64.exe)  # the same sources for x64

# 64-bit test programs, for the tests in a 64-bit prefix.
ExternalProject_Add(win64
  SOURCE_DIR ${CMAKE_SOURCE_DIR}/tests/win64
  BINARY_DIR ${CMAKE_BINARY_DIR}/win64
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-x86_64.cmake
             -DCMAKE_BUILD_TYPE=Release
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  USES_TERMINAL_BUILD ON)

set(TESTENV ${CMAKE_SOURCE_DIR}/scripts/test-env.sh)
set(WINETEST ${CMAKE_SOURCE_DIR}/scripts/wine-test.sh)
add_test(NAME wine.setup COMMAND ${TESTENV} start ${CMAKE_BINARY_DIR})
add_test(NAME wine.cleanup COMMAND ${TESTENV} stop ${CMAKE_BINARY_DIR})
set_tests_properties(wine.setup PROPERTIES FIXTURES_SETUP wine RESOURCE_LOCK wine)
set_tests_properties(wine.cleanup PROPERTIES FIXTURES_CLEANUP wine RESOURCE_LOCK wine)

# The zip of `make dist`, packed from this build's program by the same packer;
# wine.Package unpacks it and starts the unpacked program.
set(PACKAGE_DIR ${CMAKE_BINARY_DIR}/package)
add_test(NAME dist.package COMMAND sh -c "rm -rf ${PACKAGE_DIR} && python3 \
  ${CMAKE_SOURCE_DIR}/scripts/package.py ${CMAKE_BINARY_DIR}/Vorlane.exe \
  ${CMAKE_BINARY_DIR}/Vorlane64.exe ${PACKAGE_DIR}")
set_tests_properties(dist.package PROPERTIES FIXTURES_SETUP package)

# Every function the program imports exists on its oldest Windows (95, NT 4.0).
add_test(NAME win.importsFloor COMMAND python3 ${CMAKE_SOURCE_DIR}/floor/check_imports.py
  i686-w64-mingw32-objdump ${CMAKE_BINARY_DIR}/Vorlane.exe ${CMAKE_SOURCE_DIR}/floor/newer-than-xp.txt
  ${CMAKE_SOURCE_DIR}/floor/imports.txt)
# The 64-bit program's, on the first x64 Windows (XP x64, Server 2003).
add_test(NAME win.importsFloor64 COMMAND python3 ${CMAKE_SOURCE_DIR}/floor/check_imports.py --x64
  x86_64-w64-mingw32-objdump ${CMAKE_BINARY_DIR}/Vorlane64.exe ${CMAKE_SOURCE_DIR}/floor/newer-than-xp.txt
  ${CMAKE_SOURCE_DIR}/floor/imports.txt ${CMAKE_SOURCE_DIR}/floor/imports64.txt)
# Its code runs on the processor the floor states, and no older one.
add_test(NAME win.cpuFloor COMMAND python3 ${CMAKE_SOURCE_DIR}/floor/check_cpu.py
  i686-w64-mingw32-objdump ${CMAKE_BINARY_DIR}/Vorlane.exe ${CMAKE_SOURCE_DIR}/floor/cpu.txt)
# Both checks fail on made-up programs that break their floors.
add_test(NAME native.floorChecks COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/floor/checks_test.py)

# A program that faults under test ends at once, its fault address reported.
add_test(NAME wine.FaultEndsAtOnce
         COMMAND ${CMAKE_SOURCE_DIR}/tests/win/fault_ends_at_once.sh ${CMAKE_BINARY_DIR})
set_tests_properties(wine.FaultEndsAtOnce PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK wine
                     LABELS wine TIMEOUT 120 SKIP_RETURN_CODE 77)

# One ctest test per test suite of a Windows test program.
function(wine_gtest exe)
  set_property(GLOBAL APPEND PROPERTY REGISTERED_${exe} ${ARGN})
  foreach(suite ${ARGN})
    add_test(NAME wine.${suite}
             COMMAND ${WINETEST} ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/win/tests/${exe}.exe
                     --gtest_filter=${suite}.*)
    set_tests_properties(wine.${suite} PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK wine
                         LABELS wine TIMEOUT 300 SKIP_RETURN_CODE 77)
  endforeach()
endfunction()
# The same in a 64-bit prefix (its own display and wineserver), where the
# 32-bit program runs under WOW64.
add_test(NAME wine64.setup COMMAND ${TESTENV} start ${CMAKE_BINARY_DIR})
add_test(NAME wine64.cleanup COMMAND ${TESTENV} stop ${CMAKE_BINARY_DIR})
# After the first display is up, so that each setup picks a free one.
set_tests_properties(wine64.setup PROPERTIES FIXTURES_SETUP wine64 RESOURCE_LOCK wine64
                     ENVIRONMENT VORLANE_ARCH=64 TIMEOUT 300 DEPENDS wine.setup)
set_tests_properties(wine64.cleanup PROPERTIES FIXTURES_CLEANUP wine64 RESOURCE_LOCK wine64
                     ENVIRONMENT VORLANE_ARCH=64)
# A suite of a test program of build tree `tree` in the 64-bit prefix, named `kind`.SUITE.
function(prefix64_gtest kind tree exe)
  set_property(GLOBAL APPEND PROPERTY REGISTERED_${exe} ${ARGN})
  foreach(suite ${ARGN})
    add_test(NAME ${kind}.${suite}
             COMMAND ${WINETEST} ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/${tree}/tests/${exe}.exe
                     --gtest_filter=${suite}.*)
    set_tests_properties(${kind}.${suite} PROPERTIES FIXTURES_REQUIRED wine64
                         RESOURCE_LOCK wine64 LABELS wine TIMEOUT 300
                         ENVIRONMENT VORLANE_ARCH=64 SKIP_RETURN_CODE 77)
  endforeach()
endfunction()
# The 32-bit test programs, under WOW64.
function(wine64_gtest exe)
  prefix64_gtest(wine64 win ${exe} ${ARGN})
endfunction()
# The x64 build's test programs and Vorlane64.exe.
function(x64_gtest exe)
  prefix64_gtest(x64 winx64 ${exe} ${ARGN})
endfunction()
include(${CMAKE_SOURCE_DIR}/tests/win/suites.cmake)
# A suite of a Windows test program that no ctest test runs fails the
# configuration, and with it the build: its tests would pass unseen.
foreach(kind unit gui)
  get_property(registered GLOBAL PROPERTY REGISTERED_${kind}_tests)
  file(GLOB sources ${CMAKE_SOURCE_DIR}/tests/win/${kind}_*.cpp)
  foreach(source ${sources})
    file(STRINGS ${source} heads REGEX "^TEST(_F)?\\(")
    foreach(head ${heads})
      string(REGEX REPLACE "^TEST(_F)?\\(([A-Za-z0-9_]+),.*" "\\2" suite "${head}")
      if(NOT suite IN_LIST registered)
        message(FATAL_ERROR "${source}: suite ${suite} is in no wine_gtest list (tests/win/suites.cmake)")
      endif()
    endforeach()
  endforeach()
endforeach()
