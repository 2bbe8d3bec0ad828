# velmora_add_test(NAME <name> SOURCES <files...> LIBS <libs...>
#                  [TIMEOUT <seconds>] [ENVIRONMENT <VAR=value...>])
# One GoogleTest executable = one CTest test. Every test runs in the
# Finnish time zone so that date arithmetic is checked against real
# daylight-saving rules, and every test has a timeout. Every test program
# sees the shared helpers of tests/support.
find_package(GTest REQUIRED)

# Helpers shared by every test program (tests/support), included as
# "support/<name>.h".
add_library(velmora_test_support INTERFACE)
target_include_directories(velmora_test_support INTERFACE ${PROJECT_SOURCE_DIR}/tests)
# The language modules in the source tree, wherever a test program is run from.
target_compile_definitions(velmora_test_support INTERFACE VELMORA_SOURCE_LANG_DIR="${PROJECT_SOURCE_DIR}/resources/lang")

function(velmora_add_test)
  cmake_parse_arguments(VT "" "NAME;TIMEOUT" "SOURCES;LIBS;ENVIRONMENT;ARGS" ${ARGN})
  if(NOT VT_TIMEOUT)
    set(VT_TIMEOUT 120)
  endif()
  add_executable(${VT_NAME} ${VT_SOURCES})
  target_link_libraries(${VT_NAME} PRIVATE ${VT_LIBS} velmora_test_support GTest::gtest GTest::gtest_main)
  add_test(NAME ${VT_NAME} COMMAND ${VT_NAME} ${VT_ARGS})
  set_tests_properties(${VT_NAME} PROPERTIES
    TIMEOUT ${VT_TIMEOUT}
    ENVIRONMENT "TZ=Europe/Helsinki;${VT_ENVIRONMENT}")
endfunction()
