# xl_add_library(NAME SOURCES...) — one static library per plug-in folder.
# Sources include headers by their folder path ("pclxl/stream.h").
function(xl_add_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC xlplatform)
endfunction()

# xl_add_test(NAME SOURCES... LIBS libs...) — a GoogleTest program registered with CTest.
function(xl_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  # gtest_discover_tests splits a list-valued property into separate arguments,
  # so each variable goes in a property of its own.
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "XLRENDER_BIN=${CMAKE_BINARY_DIR}/bin"
               ENVIRONMENT_MODIFICATION "XLRENDER_SOURCE=set:${PROJECT_SOURCE_DIR}")
endfunction()
