# Settings shared by the native and the Windows builds.

# Warnings for the project's own targets (third-party code is built without them).
function(vx_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter
    -Wno-missing-field-initializers -Wno-cast-function-type)
endfunction()

# nlohmann-json is header-only; expose only its folder so that the cross compiler never sees
# the host's /usr/include.
set(VX_EXTRA_INCLUDE ${CMAKE_BINARY_DIR}/include-extra)
file(MAKE_DIRECTORY ${VX_EXTRA_INCLUDE})
if(EXISTS /usr/include/nlohmann AND NOT EXISTS ${VX_EXTRA_INCLUDE}/nlohmann)
  file(CREATE_LINK /usr/include/nlohmann ${VX_EXTRA_INCLUDE}/nlohmann SYMBOLIC)
endif()
add_library(vx_json INTERFACE)
target_include_directories(vx_json SYSTEM INTERFACE ${VX_EXTRA_INCLUDE})
