# Shared settings for every target of the project.

set(KORVANE_WARNINGS -Wall -Wextra -Wpedantic -Wnon-virtual-dtor)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    list(APPEND KORVANE_WARNINGS -Wshadow=local)
endif()

# korvane_library(<name> SOURCES ... [DEPS ...])
# One static library per source folder; its folder's parent is the include root.
function(korvane_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_options(${name} PRIVATE ${KORVANE_WARNINGS})
    target_compile_features(${name} PUBLIC cxx_std_20)
    if(ARG_DEPS)
        target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    endif()
    if(ARG_PRIVATE_DEPS)
        target_link_libraries(${name} PRIVATE ${ARG_PRIVATE_DEPS})
    endif()
endfunction()

# The environment every test program starts with (see tests/support/test_environment.cpp).
function(korvane_test_environment_target)
    if(NOT TARGET korvane_test_environment)
        add_library(korvane_test_environment OBJECT ${PROJECT_SOURCE_DIR}/tests/support/test_environment.cpp)
        target_compile_definitions(korvane_test_environment PRIVATE
            KORVANE_TESTDATA_DEFAULT="${KORVANE_TESTDATA_DIR}"
            KORVANE_SOURCE_DIR_DEFAULT="${PROJECT_SOURCE_DIR}")
    endif()
endfunction()

# korvane_test(<name> SOURCES ... DEPS ...)
# One GoogleTest executable; every test case is registered with CTest.
function(korvane_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    korvane_test_environment_target()
    add_executable(${name} ${ARG_SOURCES} $<TARGET_OBJECTS:korvane_test_environment>)
    target_compile_options(${name} PRIVATE ${KORVANE_WARNINGS})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gmock GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()
