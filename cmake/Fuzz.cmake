# Shared by the libFuzzer projects (desk/core/fuzz, toolbar/core/fuzz): each is a project of
# its own so that the normal native build never needs clang; scripts/fuzz configures them with
# clang++. Include it right after project().
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)

get_filename_component(VX_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
include(${VX_ROOT}/cmake/Common.cmake)
include_directories(${VX_ROOT})

# UBSan findings abort, so libFuzzer stops on them as on any crash.
set(VX_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer)
add_compile_options(-g -O1 ${VX_SANITIZERS} -fsanitize=fuzzer-no-link)
add_link_options(${VX_SANITIZERS})
