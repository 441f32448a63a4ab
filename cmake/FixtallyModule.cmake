# fixtally_module(NAME DEPS...): a static library of every .cpp in the current
# folder, taking only the platform half (_win.cpp or _posix.cpp) that matches
# the build.
function(fixtally_module name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "_(win|posix)\\.cpp$")
  file(GLOB os_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_${FIXTALLY_OS}.cpp)
  if(sources OR os_sources)
    add_library(${name} STATIC ${sources} ${os_sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARGN})
    target_link_libraries(${name} PRIVATE fixtally_warnings)
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

# fixtally_tests(NAME DEPS...): one GoogleTest program of every *Test.cpp in
# the current folder, registered with CTest.
function(fixtally_tests name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*Test.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources} ${PROJECT_SOURCE_DIR}/tests/TestMain.cpp)
  target_link_libraries(${name} PRIVATE GTest::gtest fixtally_warnings ${ARGN})
  target_compile_definitions(${name} PRIVATE
    FIXTALLY_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()
