# Windows-side tests, run under Wine against its real USER32 and WGL.
file(GLOB GLINSPECT_WIN32_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
add_executable(glinspect_win32_tests ${GLINSPECT_WIN32_TEST_SOURCES})
target_link_libraries(glinspect_win32_tests PRIVATE glinspect_core gtest_main)
target_compile_definitions(glinspect_win32_tests PRIVATE GLINSPECT_EXE="$<TARGET_FILE:glinspect>")
add_dependencies(glinspect_win32_tests glinspect)
target_link_options(glinspect_win32_tests PRIVATE -static-libgcc -static-libstdc++)
gtest_discover_tests(glinspect_win32_tests TEST_PREFIX "win32." DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 60)

add_test(NAME win32.check_pe COMMAND ${CMAKE_SOURCE_DIR}/../shared/tools/check-pe $<TARGET_FILE:glinspect>)

# End-to-end tests: a second Windows program starts the real exe and drives it.
file(GLOB GLINSPECT_E2E_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*_test.cpp)
add_executable(glinspect_e2e_tests ${CMAKE_SOURCE_DIR}/tests/e2e/app_driver.cpp ${GLINSPECT_E2E_TEST_SOURCES})
target_include_directories(glinspect_e2e_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(glinspect_e2e_tests PRIVATE GLINSPECT_EXE="$<TARGET_FILE:glinspect>")
target_link_libraries(glinspect_e2e_tests PRIVATE gtest_main opengl32 gdi32 user32 advapi32)
target_link_options(glinspect_e2e_tests PRIVATE -static-libgcc -static-libstdc++)
add_dependencies(glinspect_e2e_tests glinspect)
gtest_discover_tests(glinspect_e2e_tests TEST_PREFIX "e2e." DISCOVERY_MODE PRE_TEST
    TEST_FILTER "-NoGlx.*" DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)

# The error path needs an X server without GLX, and so a Wine session of its own.
add_test(NAME e2e.no_glx
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/support/run-without-glx.sh
            $<TARGET_FILE:glinspect_e2e_tests> --gtest_filter=NoGlx.*)
set_tests_properties(e2e.no_glx PROPERTIES TIMEOUT 300)
