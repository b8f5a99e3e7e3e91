# Native build: the portable core and its unit tests, under ASan and UBSan.
find_package(GTest REQUIRED)
# Independent x86 decoders, the oracles of the decoder's differential tests.
find_package(zydis REQUIRED)
find_path(TW_CAPSTONE_INCLUDE capstone/capstone.h REQUIRED)
find_library(TW_CAPSTONE capstone REQUIRED)

set(TW_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

add_library(twcore STATIC ${TW_CORE_SOURCES})
target_include_directories(twcore PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(twcore PRIVATE ${TW_WARNINGS} ${TW_SANITIZE})
target_link_options(twcore PUBLIC ${TW_SANITIZE})

file(GLOB TW_NATIVE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*_test.cpp)
add_executable(core_tests ${TW_NATIVE_TESTS} ${CMAKE_SOURCE_DIR}/tests/native/decoder_oracle.cpp)
target_compile_options(core_tests PRIVATE ${TW_WARNINGS} ${TW_SANITIZE})
target_include_directories(core_tests PRIVATE ${TW_CAPSTONE_INCLUDE})
target_link_libraries(core_tests PRIVATE twcore GTest::gtest_main Zydis::Zydis ${TW_CAPSTONE})
include(GoogleTest)
gtest_discover_tests(core_tests DISCOVERY_TIMEOUT 60)

# Benchmarks of the core (printed figures, not tests).
file(GLOB TW_NATIVE_BENCH CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/native/*.cpp)
foreach(src ${TW_NATIVE_BENCH})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_compile_options(${name} PRIVATE ${TW_WARNINGS} -O2)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    # Benchmarks link an unsanitized copy of the core so the figures are fair.
    target_sources(${name} PRIVATE ${TW_CORE_SOURCES})
endforeach()

include(${CMAKE_SOURCE_DIR}/cmake/fuzz.cmake OPTIONAL)
