# The host's two header-only libraries for a cross build. Their packaged
# CMake targets point at the build machine's /usr/include, which would put
# its C library headers in front of the cross compiler's, so only their own
# header folders are linked into the build tree and used from there.
set(PCB9_CROSS_INCLUDE ${CMAKE_BINARY_DIR}/cross-include)
foreach(folder nlohmann CLI)
  if(NOT EXISTS /usr/include/${folder})
    message(FATAL_ERROR "/usr/include/${folder} is missing (install nlohmann-json3-dev and libcli11-dev)")
  endif()
  file(MAKE_DIRECTORY ${PCB9_CROSS_INCLUDE})
  file(CREATE_LINK /usr/include/${folder} ${PCB9_CROSS_INCLUDE}/${folder} SYMBOLIC)
endforeach()
foreach(target nlohmann_json::nlohmann_json CLI11::CLI11)
  add_library(${target} INTERFACE IMPORTED)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${PCB9_CROSS_INCLUDE})
endforeach()
