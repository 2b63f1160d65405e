# Windows-side tests, run under Wine against its real USER32 and WGL.
file(GLOB GLINSPECT_WIN32_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
add_executable(glinspect_win32_tests ${GLINSPECT_WIN32_TEST_SOURCES})
target_link_libraries(glinspect_win32_tests PRIVATE glinspect_core gtest_main)
target_link_options(glinspect_win32_tests PRIVATE -static-libgcc -static-libstdc++)
gtest_discover_tests(glinspect_win32_tests TEST_PREFIX "win32." DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 60)

add_test(NAME win32.check_pe COMMAND ${CMAKE_SOURCE_DIR}/../shared/tools/check-pe $<TARGET_FILE:glinspect>)
