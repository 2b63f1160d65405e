# Native unit tests of the code that needs no Windows API.
file(GLOB GLINSPECT_NATIVE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
# The render tests need an OpenGL driver: a binary of their own, below.
list(FILTER GLINSPECT_NATIVE_TEST_SOURCES EXCLUDE REGEX "/scene_test\\.cpp$")
# The entry-point table of a made-up registry, made as the real one is.
set(GLINSPECT_MADE_UP_ENTRY_POINTS ${CMAKE_CURRENT_BINARY_DIR}/made_up_entry_points.cpp)
glinspect_entry_point_table(${CMAKE_CURRENT_LIST_DIR}/registry ${GLINSPECT_MADE_UP_ENTRY_POINTS} kMadeUpEntryPoints)
add_executable(glinspect_native_tests ${GLINSPECT_NATIVE_TEST_SOURCES} ${GLINSPECT_MADE_UP_ENTRY_POINTS})
target_link_libraries(glinspect_native_tests PRIVATE glinspect_portable glinspect_compare gtest_main)
gtest_discover_tests(glinspect_native_tests TEST_PREFIX "native.")

# The test scene drawn offscreen by Mesa. Mesa's driver keeps allocations
# until exit that LeakSanitizer reports, so leak checks are off for it alone.
add_executable(glinspect_render_tests ${CMAKE_CURRENT_LIST_DIR}/scene_test.cpp)
target_link_libraries(glinspect_render_tests PRIVATE glinspect_scene glinspect_portable OpenGL::EGL OpenGL::GLU gtest_main)
gtest_discover_tests(glinspect_render_tests TEST_PREFIX "native."
    PROPERTIES ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")

if(GLINSPECT_FUZZ)
    add_executable(fuzz_extension_tokens ${CMAKE_CURRENT_LIST_DIR}/../fuzz/extension_tokens_fuzz.cpp)
    target_compile_options(fuzz_extension_tokens PRIVATE -fsanitize=fuzzer)
    target_link_options(fuzz_extension_tokens PRIVATE -fsanitize=fuzzer)
    target_link_libraries(fuzz_extension_tokens PRIVATE glinspect_portable)
    add_test(NAME fuzz.extension_tokens
        COMMAND fuzz_extension_tokens -max_total_time=${GLINSPECT_FUZZ_SECONDS} -max_len=8192
                -timeout=10 ${CMAKE_CURRENT_BINARY_DIR}/fuzz-corpus)
    file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/fuzz-corpus)

    # The report reader and the comparison, from two small reports (the first
    # byte of the seed says where the first ends).
    add_executable(fuzz_report_reader ${CMAKE_CURRENT_LIST_DIR}/../fuzz/report_reader_fuzz.cpp)
    target_compile_options(fuzz_report_reader PRIVATE -fsanitize=fuzzer)
    target_link_options(fuzz_report_reader PRIVATE -fsanitize=fuzzer)
    target_link_libraries(fuzz_report_reader PRIVATE glinspect_compare)
    set(GLINSPECT_READER_CORPUS ${CMAKE_CURRENT_BINARY_DIR}/fuzz-corpus-report)
    file(MAKE_DIRECTORY ${GLINSPECT_READER_CORPUS})
    file(COPY ${CMAKE_CURRENT_LIST_DIR}/../fuzz/report_pair.seed DESTINATION ${GLINSPECT_READER_CORPUS})
    add_test(NAME fuzz.report_reader
        COMMAND fuzz_report_reader -max_total_time=${GLINSPECT_FUZZ_SECONDS} -max_len=16384
                -timeout=10 ${GLINSPECT_READER_CORPUS})
endif()

# Includes run downward only, and the document layer stays pure.
add_test(NAME native.include_layers
    COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/support/include_layers.py ${CMAKE_SOURCE_DIR})
