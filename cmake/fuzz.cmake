# The fuzzers: built with clang's libFuzzer (GCC has none) outside the GCC
# toolchain of this build, and run for a fixed number of inputs as tests.
# scripts/fuzz.sh runs them for longer.
find_program(TW_CLANGXX NAMES clang++-14 clang++)
if(NOT TW_CLANGXX)
    message(STATUS "clang++ not found: the fuzzers are not built")
    return()
endif()

# tw_fuzzer(name runs [MAX_LEN n] SOURCES ... HEADERS ... [LIBS ...]): builds fuzz/<name> and a
# test that runs it for RUNS inputs of at most MAX_LEN bytes (default 48).
function(tw_fuzzer name runs)
    cmake_parse_arguments(F "" "MAX_LEN" "SOURCES;HEADERS;LIBS" ${ARGN})
    if(NOT F_MAX_LEN)
        set(F_MAX_LEN 48)
    endif()
    set(out ${CMAKE_BINARY_DIR}/fuzz/${name})
    add_custom_command(
        OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/fuzz
        COMMAND ${TW_CLANGXX} -std=c++20 -O1 -g -Wall -Wextra -Werror
                -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
                -I${CMAKE_SOURCE_DIR} ${F_SOURCES} ${F_LIBS} -o ${out}
        DEPENDS ${F_SOURCES} ${F_HEADERS}
        COMMENT "Building ${name} with ${TW_CLANGXX}")
    add_custom_target(${name} ALL DEPENDS ${out})
    add_test(NAME ${name}
             COMMAND ${out} -runs=${runs} -max_len=${F_MAX_LEN} -timeout=10 -seed=1 -print_final_stats=1)
    set_tests_properties(${name} PROPERTIES TIMEOUT 120 WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()

tw_fuzzer(decoder_fuzz 2000000
    SOURCES ${CMAKE_SOURCE_DIR}/tests/fuzz/decoder_fuzz.cpp ${CMAKE_SOURCE_DIR}/crashtrap/core/decoder.cpp
    HEADERS ${CMAKE_SOURCE_DIR}/crashtrap/core/decoder.h)

# The decoder against Zydis, in both modes.
tw_fuzzer(decoder_oracle_fuzz 1000000
    SOURCES ${CMAKE_SOURCE_DIR}/tests/fuzz/decoder_oracle_fuzz.cpp ${CMAKE_SOURCE_DIR}/tests/native/decoder_oracle.cpp
            ${CMAKE_SOURCE_DIR}/crashtrap/core/decoder.cpp
    HEADERS ${CMAKE_SOURCE_DIR}/crashtrap/core/decoder.h ${CMAKE_SOURCE_DIR}/tests/native/decoder_oracle.h
    LIBS $<TARGET_FILE:Zydis::Zydis> ${TW_CAPSTONE})

# The store's text rules: lines tile the file, a removal keeps every other
# line, an appended line keeps the file and reads back as its project.
set(TW_TEXT_SOURCES ${CMAKE_SOURCE_DIR}/support/core/text.cpp ${CMAKE_SOURCE_DIR}/crashtrap/core/marker.cpp)
tw_fuzzer(store_fuzz 100000 MAX_LEN 1024
    SOURCES ${CMAKE_SOURCE_DIR}/tests/fuzz/store_fuzz.cpp ${CMAKE_SOURCE_DIR}/projects/core/store_text.cpp
            ${TW_TEXT_SOURCES}
    HEADERS ${CMAKE_SOURCE_DIR}/projects/core/store_text.h ${CMAKE_SOURCE_DIR}/support/core/text.h)

# Preference files: the reader stays inside any file, writes read back.
tw_fuzzer(pref_fuzz 200000 MAX_LEN 1024
    SOURCES ${CMAKE_SOURCE_DIR}/tests/fuzz/pref_fuzz.cpp ${CMAKE_SOURCE_DIR}/support/core/pref_text.cpp
            ${TW_TEXT_SOURCES}
    HEADERS ${CMAKE_SOURCE_DIR}/support/core/pref_text.h ${CMAKE_SOURCE_DIR}/support/core/text.h)

# The readers of outside text: project lines for a start and the batch file,
# names and paths from the tree to a start, the command line.
set(TW_TEXT_HEADERS ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_check.h ${CMAKE_SOURCE_DIR}/support/core/text.h)
tw_fuzzer(start_line_fuzz 300000 MAX_LEN 200
    SOURCES ${CMAKE_SOURCE_DIR}/tests/fuzz/start_line_fuzz.cpp ${CMAKE_SOURCE_DIR}/projects/core/start_text.cpp
            ${CMAKE_SOURCE_DIR}/projects/core/store_text.cpp ${TW_TEXT_SOURCES}
    HEADERS ${CMAKE_SOURCE_DIR}/projects/core/start_text.h ${CMAKE_SOURCE_DIR}/projects/core/store_text.h
            ${TW_TEXT_HEADERS})
tw_fuzzer(names_fuzz 200000 MAX_LEN 300
    SOURCES ${CMAKE_SOURCE_DIR}/tests/fuzz/names_fuzz.cpp ${CMAKE_SOURCE_DIR}/app/core/file_list.cpp
            ${CMAKE_SOURCE_DIR}/projects/core/create_text.cpp ${CMAKE_SOURCE_DIR}/projects/core/start_text.cpp
            ${CMAKE_SOURCE_DIR}/projects/core/store_text.cpp ${TW_TEXT_SOURCES}
    HEADERS ${CMAKE_SOURCE_DIR}/app/core/file_list.h ${CMAKE_SOURCE_DIR}/projects/core/create_text.h
            ${CMAKE_SOURCE_DIR}/projects/core/start_text.h ${CMAKE_SOURCE_DIR}/projects/core/store_text.h
            ${TW_TEXT_HEADERS})
tw_fuzzer(cmdline_fuzz 150000 MAX_LEN 100
    SOURCES ${CMAKE_SOURCE_DIR}/tests/fuzz/cmdline_fuzz.cpp ${CMAKE_SOURCE_DIR}/support/core/cmdline.cpp
            ${TW_TEXT_SOURCES}
    HEADERS ${CMAKE_SOURCE_DIR}/support/core/cmdline.h ${TW_TEXT_HEADERS})
