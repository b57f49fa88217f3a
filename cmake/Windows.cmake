# Windows build (MinGW-w64 cross compiler). Every program, Lumette.dll and the rs image
# folder land in one folder, laid out as an installed copy.
set(VX_BIN_DIR ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${VX_BIN_DIR})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${VX_BIN_DIR})
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)

add_compile_definitions(UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0600 WINVER=0x0600 _WIN32_IE=0x0700)
# The programs carry their own C++ runtime, so nothing but system DLLs and Lumette.dll
# has to be installed beside them.
set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS "${CMAKE_SHARED_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LIBRARY_PREFIX "")
set(CMAKE_IMPORT_LIBRARY_PREFIX "lib")

# GoogleTest from the Debian source package, built for the cross target.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(VX_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources built for the target")
if(EXISTS ${VX_GTEST_SOURCE}/CMakeLists.txt)
  add_subdirectory(${VX_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  # A native Windows toolchain (MSYS2) ships GoogleTest as a package.
  find_package(GTest REQUIRED)
  add_library(gtest ALIAS GTest::gtest)
  add_library(gtest_main ALIAS GTest::gtest_main)
endif()

# Tests run under Wine through the wrapper; the i686 build is compiled and linked only.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(VX_RUN_TESTS ON)
  # The wrapper knows its build tree, so the tests always use this tree's Wine prefix.
  file(WRITE ${CMAKE_BINARY_DIR}/wine-run.tmp
    "#!/bin/sh\nexport VX_BUILD='${CMAKE_BINARY_DIR}'\nexec '${CMAKE_SOURCE_DIR}/scripts/wine-run' \"$@\"\n")
  file(COPY_FILE ${CMAKE_BINARY_DIR}/wine-run.tmp ${CMAKE_BINARY_DIR}/wine-run ONLY_IF_DIFFERENT)
  file(CHMOD ${CMAKE_BINARY_DIR}/wine-run PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
else()
  set(VX_RUN_TESTS OFF)
endif()

# vx_win_test(name SOURCES ... LIBS ... [LABELS ...] [GUI] [OWN_MAIN]): one GoogleTest
# program run under Wine as one CTest test. GUI marks tests that open windows (they need
# the X display the test script provides).
function(vx_win_test name)
  cmake_parse_arguments(T "GUI;OWN_MAIN" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest)
  if(NOT T_OWN_MAIN)
    target_link_libraries(${name} PRIVATE gtest_main)
  endif()
  vx_warnings(${name})
  if(VX_RUN_TESTS)
    set(labels ${T_LABELS})
    if(T_GUI)
      list(APPEND labels gui)
    else()
      list(APPEND labels logic)
    endif()
    if(NOT T_TIMEOUT)
      set(T_TIMEOUT 300)
    endif()
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no WORKING_DIRECTORY ${VX_BIN_DIR})
    # Each test program (and every program it starts, which inherits the variable) keeps
    # its data in a folder of its own, so tests that use it can run side by side.
    set_tests_properties(${name} PROPERTIES LABELS "${labels}" TIMEOUT ${T_TIMEOUT}
      ENVIRONMENT "VX_DATA_DIR=C:/vxdata/${name}")
    if(T_GUI)
      # Windows tests share one screen, one mouse and one keyboard: a full-screen window or
      # real input of one test must never meet another's.
      set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
    endif()
  endif()
  # Windows of the system draw with the rendered skin: a test built alone must not find the
  # rs folder missing and see frameless boxes and invisible dialogs.
  if(T_GUI AND TARGET skin)
    add_dependencies(${name} skin)
  endif()
endfunction()

# Tests that talk to the stand-in web services share one server on loopback, started before
# the first of them and stopped after the last; it writes its services.ini to svc-test/ beside
# bin/, where the tests read it.
if(VX_RUN_TESTS)
  set(VX_SVC_TEST_DIR ${CMAKE_BINARY_DIR}/svc-test)
  add_test(NAME vx_services_start
    COMMAND bash -c "\"$0/services/scripts/stop\" --run-dir \"$1\" >/dev/null; exec \"$0/services/scripts/start\" --run-dir \"$1\" --ini-dir \"$1\""
            ${CMAKE_SOURCE_DIR} ${VX_SVC_TEST_DIR})
  set_tests_properties(vx_services_start PROPERTIES FIXTURES_SETUP vx_services LABELS logic TIMEOUT 1200)
  add_test(NAME vx_services_stop
    COMMAND ${CMAKE_SOURCE_DIR}/services/scripts/stop --run-dir ${VX_SVC_TEST_DIR})
  set_tests_properties(vx_services_stop PROPERTIES FIXTURES_CLEANUP vx_services LABELS logic)
endif()

# vx_uses_services(test ...): the tests need the stand-in services running.
function(vx_uses_services)
  if(VX_RUN_TESTS)
    set_tests_properties(${ARGN} PROPERTIES FIXTURES_REQUIRED vx_services)
  endif()
endfunction()
