# JSON (nlohmann-json) and option parsing (CLI11): header-only libraries from
# Debian's packages nlohmann-json3-dev and libcli11-dev, for both builds. The
# Windows build must not search /usr/include, whose C library headers are
# Linux's: it gets a folder of its own that links to just these two.
if(NOT CMAKE_CROSSCOMPILING)
  find_package(nlohmann_json 3.10 REQUIRED)
  find_package(CLI11 2.1 REQUIRED)
  return()
endif()
set(header_links ${PROJECT_BINARY_DIR}/debian-headers)
foreach(header nlohmann/json.hpp CLI/CLI.hpp)
  get_filename_component(folder ${header} DIRECTORY)
  if(NOT EXISTS /usr/include/${header})
    message(FATAL_ERROR "/usr/include/${header} is missing: install nlohmann-json3-dev and libcli11-dev")
  endif()
  file(MAKE_DIRECTORY ${header_links})
  file(CREATE_LINK /usr/include/${folder} ${header_links}/${folder} SYMBOLIC)
endforeach()
foreach(target nlohmann_json::nlohmann_json CLI11::CLI11)
  add_library(${target} INTERFACE IMPORTED)
  target_include_directories(${target} SYSTEM INTERFACE ${header_links})
endforeach()
