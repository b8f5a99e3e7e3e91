# Cross build: the program, the Win32 layer as a library the Wine tests link,
# the test tools and the Wine-run tests. The same tree builds for i686
# (dist/tarnwick.exe) and for x86-64 (dist/x64/tarnwick.exe).
set(TW_WIN_FLAGS -Os -fno-exceptions -fno-rtti -fno-threadsafe-statics -ffunction-sections -fdata-sections)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    # x64 exception dispatch walks the stack through the unwind tables
    # (.pdata/.xdata): a function without them looks like a leaf, and the
    # walk through its frame goes astray. They stay.
    set(TW_DIST ${CMAKE_SOURCE_DIR}/dist/x64)
    set(TW_MANIFEST_ARCH amd64)
    set(TW_BITS 64)
else()
    list(APPEND TW_WIN_FLAGS -fno-asynchronous-unwind-tables -fno-unwind-tables)
    set(TW_DIST ${CMAKE_SOURCE_DIR}/dist)
    set(TW_MANIFEST_ARCH x86)
    set(TW_BITS 32)
endif()
# ctest runs the test programs through this, with the Wine loader and prefix
# of their bits.
set(CMAKE_CROSSCOMPILING_EMULATOR bash ${CMAKE_SOURCE_DIR}/scripts/wine-test.sh ${TW_BITS})

add_library(twcore STATIC ${TW_CORE_SOURCES})
target_include_directories(twcore PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(twcore PRIVATE ${TW_WARNINGS} ${TW_WIN_FLAGS})

file(GLOB TW_WIN_SOURCES CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/app/*.cpp
    ${CMAKE_SOURCE_DIR}/projects/*.cpp
    ${CMAKE_SOURCE_DIR}/support/*.cpp
    ${CMAKE_SOURCE_DIR}/explorer/*.cpp
    ${CMAKE_SOURCE_DIR}/crashtrap/*.cpp)
list(REMOVE_ITEM TW_WIN_SOURCES ${CMAKE_SOURCE_DIR}/app/main.cpp ${CMAKE_SOURCE_DIR}/app/startup.cpp)

add_library(twwin STATIC ${TW_WIN_SOURCES})
target_include_directories(twwin PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(twwin PRIVATE ${TW_WARNINGS} ${TW_WIN_FLAGS})
target_link_libraries(twwin PUBLIC twcore ole32 uuid shell32 comctl32 gdi32 user32 advapi32)

# Start-up, the end and the error report, with the runtime's failure
# handlers they replace (allocation, terminate): linked into the program and
# the crash trap's test host only, so other test programs keep the runtime's.
add_library(twstartup OBJECT app/startup.cpp)
target_include_directories(twstartup PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(twstartup PRIVATE ${TW_WARNINGS} ${TW_WIN_FLAGS})

# Resources the Win32 layer relies on (dialog templates, *.rc beside its
# sources): compiled once and linked into every program that uses the layer.
file(GLOB TW_WIN_RESOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/explorer/*.rc)
add_library(twres OBJECT ${TW_WIN_RESOURCES})
target_sources(twwin INTERFACE $<TARGET_OBJECTS:twres>)

configure_file(${CMAKE_SOURCE_DIR}/res/version.h.in ${CMAKE_BINARY_DIR}/generated/version.h)
# The manifest names the processor architecture of the program and of the
# common controls it asks for: a 64-bit program whose manifest asks for the
# x86 controls gets none under Wine, and shell32's first call into them fails.
configure_file(${CMAKE_SOURCE_DIR}/res/tarnwick.manifest.in ${CMAKE_BINARY_DIR}/generated/tarnwick.manifest @ONLY)

add_executable(tarnwick WIN32 app/main.cpp res/tarnwick.rc)
# windres reports no dependencies: name the files the resources embed.
set_source_files_properties(res/tarnwick.rc PROPERTIES OBJECT_DEPENDS
    "${CMAKE_SOURCE_DIR}/res/tarnwick.ico;${CMAKE_BINARY_DIR}/generated/tarnwick.manifest;${CMAKE_BINARY_DIR}/generated/version.h")
target_include_directories(tarnwick PRIVATE ${CMAKE_BINARY_DIR}/generated ${CMAKE_SOURCE_DIR}/res)
target_compile_options(tarnwick PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${TW_WARNINGS} ${TW_WIN_FLAGS}>)
target_link_libraries(tarnwick PRIVATE twstartup twwin)
# The PE header's time stamp is 0 (so is its checksum's share of it): two
# builds of the same sources give the same bytes, in any folder.
target_link_options(tarnwick PRIVATE -static -s -Wl,--gc-sections -Wl,--no-insert-timestamp)
set_target_properties(tarnwick PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TW_DIST})

# GoogleTest for Windows, from Debian's sources (there is no MinGW package).
set(GTEST_SRC /usr/src/googletest/googletest)
# The Wine tests have a main of their own (tests/wine/driver/main.cpp).
add_library(wingtest STATIC ${GTEST_SRC}/src/gtest-all.cc)
target_include_directories(wingtest PUBLIC ${GTEST_SRC}/include PRIVATE ${GTEST_SRC})
target_compile_options(wingtest PRIVATE -O1 -w)

# Test tools: small programs the Wine tests start (the stand-in editor, ...).
file(GLOB TW_TOOL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/tools/*.cpp)
foreach(src ${TW_TOOL_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_compile_options(${name} PRIVATE ${TW_WARNINGS} -O1)
    target_link_libraries(${name} PRIVATE twwin)
    target_link_options(${name} PRIVATE -static)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
endforeach()
target_link_libraries(trap_host PRIVATE twstartup)

# The driver library that Wine tests use to start programs and work their windows.
file(GLOB TW_DRIVER_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/driver/*.cpp)
add_library(twdriver STATIC ${TW_DRIVER_SOURCES})
target_include_directories(twdriver PUBLIC ${CMAKE_SOURCE_DIR}/tests/wine)
target_compile_options(twdriver PRIVATE ${TW_WARNINGS} -O1)
target_link_libraries(twdriver PUBLIC twwin wingtest)

# One Wine test program per file; each test runs as its own ctest entry.
file(GLOB TW_WINE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/*_test.cpp)
foreach(src ${TW_WINE_TESTS})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_compile_options(${name} PRIVATE ${TW_WARNINGS} -O1)
    target_link_libraries(${name} PRIVATE twdriver)
    target_link_options(${name} PRIVATE -static)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
    set_tests_properties(${name} PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77
        ENVIRONMENT "TW_EXE=${TW_DIST}/tarnwick.exe;TW_TOOLS=${CMAKE_BINARY_DIR}/tools;TW_WORK=${CMAKE_BINARY_DIR}/work")
endforeach()
# The resource test reads both programs (as data, from either bits) and
# compares their manifests with the build's version.
target_include_directories(resources_test PRIVATE ${CMAKE_BINARY_DIR}/generated)
set_property(TEST resources_test APPEND PROPERTY ENVIRONMENT
    "TW_EXE32=${CMAKE_SOURCE_DIR}/dist/tarnwick.exe" "TW_EXE64=${CMAKE_SOURCE_DIR}/dist/x64/tarnwick.exe")

# Benchmarks that run under Wine.
file(GLOB TW_WIN_BENCH CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/wine/*.cpp)
foreach(src ${TW_WIN_BENCH})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_compile_options(${name} PRIVATE ${TW_WARNINGS} -O2)
    target_link_libraries(${name} PRIVATE twwin)
    target_link_options(${name} PRIVATE -static)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endforeach()

# Linux libraries the Wine tests preload into Wine processes (tests/wine/shims/*.c),
# built for both of Wine's architectures into tools/$LIB, the layout the
# dynamic loader's $LIB token names on Debian.
find_program(TW_HOST_CC NAMES gcc cc REQUIRED)
file(GLOB TW_SHIM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/shims/*.c)
foreach(src ${TW_SHIM_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    set(outputs)
    foreach(arch "i386;-m32" "x86_64;-m64")
        list(GET arch 0 triple)
        list(GET arch 1 bits)
        set(out ${CMAKE_BINARY_DIR}/tools/lib/${triple}-linux-gnu/libtw_${name}.so)
        add_custom_command(OUTPUT ${out}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/tools/lib/${triple}-linux-gnu
            COMMAND ${TW_HOST_CC} ${bits} -shared -fPIC -O2 -Wall -Wextra -Werror -o ${out} ${src} -ldl
            DEPENDS ${src} VERBATIM)
        list(APPEND outputs ${out})
    endforeach()
    add_custom_target(shim_${name} ALL DEPENDS ${outputs})
endforeach()
