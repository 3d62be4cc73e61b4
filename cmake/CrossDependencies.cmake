# Dependencies of a cross build whose target has no packages of its own for them: the
# header-only libraries come from the host's headers, GoogleTest from its Debian sources
# built with the cross toolchain. The host's include folder itself is never put on the
# include path, so none of its C library headers can shadow the target's.
include_guard(GLOBAL)

set(VELMORANT_CROSS_HEADERS ${CMAKE_BINARY_DIR}/cross-headers)
file(MAKE_DIRECTORY ${VELMORANT_CROSS_HEADERS})

function(velmorant_cross_header_library TARGET HEADER)
  if(TARGET ${TARGET})
    return()
  endif()
  string(MAKE_C_IDENTIFIER "VELMORANT_HOST_${HEADER}" var)
  find_path(${var} ${HEADER} PATHS /usr/include /usr/local/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT ${var})
    message(FATAL_ERROR "${HEADER} not found on the host; run scripts/setup.sh")
  endif()
  get_filename_component(folder ${HEADER} DIRECTORY)
  if(NOT EXISTS ${VELMORANT_CROSS_HEADERS}/${folder})
    file(CREATE_LINK ${${var}}/${folder} ${VELMORANT_CROSS_HEADERS}/${folder} SYMBOLIC)
  endif()
  add_library(${TARGET} INTERFACE IMPORTED GLOBAL)
  target_include_directories(${TARGET} SYSTEM INTERFACE ${VELMORANT_CROSS_HEADERS})
endfunction()

velmorant_cross_header_library(nlohmann_json::nlohmann_json nlohmann/json.hpp)
velmorant_cross_header_library(CLI11::CLI11 CLI/CLI.hpp)

if(VELMORANT_BUILD_TESTS AND NOT TARGET GTest::gtest)
  set(VELMORANT_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources built for a cross target")
  if(NOT EXISTS ${VELMORANT_GTEST_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources not found in ${VELMORANT_GTEST_SOURCE_DIR}; run scripts/setup.sh")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(${VELMORANT_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()

# The browser test drives the host's Chromium through node, which a Windows program under
# Wine cannot start.
set(VELMORANT_CROSS_TEST_ARGS --gtest_filter=-DynamicPageInBrowser.*)
