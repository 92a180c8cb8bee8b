# Helpers shared by every target of the project.

# Warnings are errors on our own code only; third-party headers come in as SYSTEM.
function(zoduz_target_defaults target)
    target_compile_features(${target} PUBLIC cxx_std_20)
    if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor
                                                 -Wno-missing-field-initializers)
        if(ZODUZ_WERROR)
            target_compile_options(${target} PRIVATE -Werror)
        endif()
    endif()
endfunction()

# zoduz_library(NAME SOURCES ... [DEPS ...]) - a static core library.
function(zoduz_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    zoduz_target_defaults(${name})
endfunction()

# zoduz_test(NAME SOURCES ... [DEPS ...] [LABELS ...]) - a GoogleTest executable registered
# with CTest. Tests that run several threads carry the label "threads"; the target
# thread_tests builds just those.
function(zoduz_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
    zoduz_target_defaults(${name})
    if("threads" IN_LIST ARG_LABELS)
        add_dependencies(thread_tests ${name})
    endif()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                         PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
                                    LABELS "${ARG_LABELS}")
endfunction()

# zoduz_benchmark(NAME SOURCES ... [DEPS ...]) - a Google Benchmark executable.
function(zoduz_benchmark name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
    zoduz_target_defaults(${name})
endfunction()

# zoduz_qt_test(NAME SOURCES ... [DEPS ...]) - a QtTest executable of the desktop application,
# registered with CTest and run on the off-screen platform (no display needed).
function(zoduz_qt_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} Qt6::Test)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    zoduz_target_defaults(${name})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
