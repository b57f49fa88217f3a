# Native (Linux) build: the UI-free core under the sanitizers, and the stand-in services.
option(VX_SANITIZE "Build native code with AddressSanitizer and UndefinedBehaviorSanitizer" ON)
if(VX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
find_package(GTest REQUIRED)
include(GoogleTest)

# vx_native_test(name SOURCES ... LIBS ...): one GoogleTest program, each case its own test.
function(vx_native_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  vx_warnings(${name})
  gtest_discover_tests(${name} PROPERTIES LABELS "native")
endfunction()
