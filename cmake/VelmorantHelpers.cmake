include_guard(GLOBAL)

# velmorant_add_gtest(NAME name SOURCES ... LIBS ...)
function(velmorant_add_gtest)
  cmake_parse_arguments(ARG "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(NOT TARGET GTest::gtest)
    find_package(GTest REQUIRED)
  endif()
  include(GoogleTest)
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    # One emulator start per binary rather than per case: starting Wine costs far more than a case.
    add_test(NAME ${ARG_NAME} COMMAND ${ARG_NAME} ${VELMORANT_CROSS_TEST_ARGS})
  else()
    gtest_discover_tests(${ARG_NAME} DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "VELMORANT_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  endif()
endfunction()

# Every .cpp below a folder, so a new file needs no CMake edit.
function(velmorant_sources OUT)
  set(result)
  foreach(dir ${ARGN})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp)
    list(APPEND result ${found})
  endforeach()
  set(${OUT} ${result} PARENT_SCOPE)
endfunction()
