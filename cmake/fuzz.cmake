# The decoder fuzzer: built with clang's libFuzzer (GCC has none) outside the
# GCC toolchain of this build, and run for a fixed number of inputs as a test.
# scripts/fuzz.sh runs it for longer.
find_program(TW_CLANGXX NAMES clang++-14 clang++)
if(NOT TW_CLANGXX)
    message(STATUS "clang++ not found: the decoder fuzzer is not built")
    return()
endif()

set(TW_FUZZER ${CMAKE_BINARY_DIR}/fuzz/decoder_fuzz)
set(TW_FUZZ_SOURCES
    ${CMAKE_SOURCE_DIR}/tests/fuzz/decoder_fuzz.cpp
    ${CMAKE_SOURCE_DIR}/crashtrap/core/decoder.cpp)
add_custom_command(
    OUTPUT ${TW_FUZZER}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/fuzz
    COMMAND ${TW_CLANGXX} -std=c++20 -O1 -g -Wall -Wextra -Werror
            -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
            -I${CMAKE_SOURCE_DIR} ${TW_FUZZ_SOURCES} -o ${TW_FUZZER}
    DEPENDS ${TW_FUZZ_SOURCES} ${CMAKE_SOURCE_DIR}/crashtrap/core/decoder.h
    COMMENT "Building the decoder fuzzer with ${TW_CLANGXX}")
add_custom_target(decoder_fuzz ALL DEPENDS ${TW_FUZZER})

add_test(NAME decoder_fuzz
         COMMAND ${TW_FUZZER} -runs=2000000 -max_len=48 -timeout=10 -seed=1 -print_final_stats=1)
set_tests_properties(decoder_fuzz PROPERTIES TIMEOUT 120 WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
