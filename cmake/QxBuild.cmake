# Settings shared by the native build (portable core, tools, tests, fuzzing, benchmarks) and the
# MinGW builds (the Windows deliverables and the tests that run them under Wine).

set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)

if(WIN32)
    set(QX_WINDOWS ON)
    # The deliverables must run beside Palm Desktop with nothing else installed.
    add_link_options(-static -static-libgcc -static-libstdc++)
    # C99 printf (%zu, %lld) in the portable core, the same on both sides.
    add_compile_definitions(__USE_MINGW_ANSI_STDIO=1)
    # Only the 64-bit build can run here (see README); the 32-bit build is checked statically.
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(QX_RUN_WINE_TESTS ON)
    else()
        set(QX_RUN_WINE_TESTS OFF)
    endif()
else()
    set(QX_WINDOWS OFF)
    set(QX_RUN_WINE_TESTS OFF)
endif()

option(QX_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(QX_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
option(QX_BENCH "Build the benchmarks" ON)
option(QX_TESTS "Build the tests" ON)

if(QX_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

if(QX_FUZZ)
    # Coverage for libFuzzer in every library a target links, not only in the target's own file.
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()

enable_testing()

if(QX_TESTS)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    include(GoogleTest)
endif()

# Our own code: every warning is an error. GoogleTest above is built with its own flags.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align -Werror)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # GCC 12 at -O2 reports overflows in std::vector::insert into an empty vector that cannot
    # happen (GCC bug 106199 and relatives); bounds are checked by our own readers instead. At
    # -O3 it also takes std::string concatenation for an overlapping copy (GCC bug 105651).
    add_compile_options(-Wno-stringop-overflow -Wno-restrict)
endif()

# A native unit test: one executable per component, each case its own CTest test.
function(qx_native_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()

# A Windows test: runs under Wine in the test run's desktop. Tests share that desktop (registry,
# shared sections), so they take it one at a time.
function(qx_wine_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
    add_test(NAME wine.${name} COMMAND ${name})
    set_tests_properties(wine.${name} PROPERTIES
        FIXTURES_REQUIRED desktop
        RESOURCE_LOCK desktop
        ENVIRONMENT "QX_DESKTOP=${CMAKE_BINARY_DIR}/desktop;QX_BIN=${CMAKE_BINARY_DIR}/bin"
        TIMEOUT 300)
endfunction()

# A fuzz target over one reader of outside bytes: tests/fuzz/<name>.cpp defines
# LLVMFuzzerTestOneInput. With QX_FUZZ (clang) it is a libFuzzer binary; otherwise it is linked with
# a small driver that replays the seed inputs in tests/fuzz/seeds/<name>/ (and any files given on
# its command line) as an ordinary test, so the target keeps compiling and its seeds keep passing.
function(qx_fuzz_target name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    if(QX_FUZZ)
        add_executable(${name} ${ARG_SOURCES})
        target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    else()
        add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/fuzz/replay_main.cpp)
        add_test(NAME fuzz.${name}.seeds
                 COMMAND ${name} ${PROJECT_SOURCE_DIR}/tests/fuzz/seeds/${name})
    endif()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
endfunction()
