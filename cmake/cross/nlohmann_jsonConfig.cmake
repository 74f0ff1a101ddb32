# The build host's header-only JSON library for cross builds, without the rest of the host's
# /usr/include (whose C headers must not shadow the target's).
if(NOT TARGET nlohmann_json::nlohmann_json)
  set(_jw_json_dir ${CMAKE_BINARY_DIR}/cross-include)
  file(MAKE_DIRECTORY ${_jw_json_dir})
  if(NOT EXISTS ${_jw_json_dir}/nlohmann)
    file(CREATE_LINK /usr/include/nlohmann ${_jw_json_dir}/nlohmann SYMBOLIC)
  endif()
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${_jw_json_dir})
endif()
set(nlohmann_json_FOUND TRUE)
