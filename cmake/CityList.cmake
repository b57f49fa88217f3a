# The weather city list is kept in the repository as UTF-8 JSON (services/citylist/city.json,
# made by services/citylist/gen). The main program carries it as resource "CITY" in GBK
# (code page 936), so every build that needs the bytes converts it here.
#
#   vx_city_gbk(OUTPUT <path> [TARGET <name>])
# adds a custom command that writes <path> from the JSON and, when TARGET is given, a target
# of that name that depends on it.
set(VX_CITY_JSON "${CMAKE_CURRENT_LIST_DIR}/../services/citylist/city.json" CACHE INTERNAL "")
get_filename_component(VX_CITY_JSON "${VX_CITY_JSON}" ABSOLUTE)
set(VX_CITY_JSON "${VX_CITY_JSON}" CACHE INTERNAL "UTF-8 city list")

function(vx_city_gbk)
  cmake_parse_arguments(C "" "OUTPUT;TARGET" "" ${ARGN})
  if(NOT C_OUTPUT)
    message(FATAL_ERROR "vx_city_gbk: OUTPUT is required")
  endif()
  find_program(VX_ICONV iconv REQUIRED)
  get_filename_component(dir "${C_OUTPUT}" DIRECTORY)
  # iconv fails on any character GBK cannot hold, so a bad list stops the build here.
  add_custom_command(
    OUTPUT "${C_OUTPUT}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${dir}"
    COMMAND ${VX_ICONV} -f UTF-8 -t GBK "${VX_CITY_JSON}" -o "${C_OUTPUT}.tmp"
    COMMAND ${CMAKE_COMMAND} -E rename "${C_OUTPUT}.tmp" "${C_OUTPUT}"
    DEPENDS "${VX_CITY_JSON}"
    COMMENT "City list to GBK: ${C_OUTPUT}"
    VERBATIM)
  if(C_TARGET)
    add_custom_target(${C_TARGET} ALL DEPENDS "${C_OUTPUT}")
  endif()
endfunction()
