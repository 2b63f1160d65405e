# Windows-side tests, run under Wine against its real USER32 and WGL.
file(GLOB GLINSPECT_WIN32_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
add_executable(glinspect_win32_tests ${GLINSPECT_WIN32_TEST_SOURCES})
target_link_libraries(glinspect_win32_tests PRIVATE glinspect_core gtest_main version)
target_compile_definitions(glinspect_win32_tests PRIVATE GLINSPECT_EXE="$<TARGET_FILE:glinspect>"
    GLINSPECT_REPORT_EXE="$<TARGET_FILE:glinspect-report>")
add_dependencies(glinspect_win32_tests glinspect glinspect-report)
target_link_options(glinspect_win32_tests PRIVATE -static-libgcc -static-libstdc++)
gtest_discover_tests(glinspect_win32_tests TEST_PREFIX "win32." DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 60)

add_test(NAME win32.check_pe COMMAND ${CMAKE_SOURCE_DIR}/../shared/tools/check-pe $<TARGET_FILE:glinspect>)
add_test(NAME win32.check_pe_report
    COMMAND ${CMAKE_SOURCE_DIR}/../shared/tools/check-pe --console $<TARGET_FILE:glinspect-report>)

# What every program that drives the real exe from outside shares.
add_library(glinspect_e2e_support STATIC ${CMAKE_SOURCE_DIR}/tests/e2e/app_driver.cpp)
target_include_directories(glinspect_e2e_support PUBLIC ${CMAKE_SOURCE_DIR}/tests/e2e)
target_compile_definitions(glinspect_e2e_support PRIVATE GLINSPECT_EXE="$<TARGET_FILE:glinspect>"
    GLINSPECT_REPORT_EXE="$<TARGET_FILE:glinspect-report>")
target_link_options(glinspect_e2e_support INTERFACE -static-libgcc -static-libstdc++)
add_dependencies(glinspect_e2e_support glinspect glinspect-report)

# End-to-end tests: a second Windows program starts the real exe and drives it.
file(GLOB GLINSPECT_E2E_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*_test.cpp)
add_executable(glinspect_e2e_tests ${GLINSPECT_E2E_TEST_SOURCES})
target_include_directories(glinspect_e2e_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(glinspect_e2e_tests PRIVATE glinspect_e2e_support gtest_main opengl32 gdi32 user32 advapi32)
gtest_discover_tests(glinspect_e2e_tests TEST_PREFIX "e2e." DISCOVERY_MODE PRE_TEST
    TEST_FILTER "-NoGlx.*" DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)

# The error path needs an X server without GLX, and so a Wine session of its own.
add_test(NAME e2e.no_glx
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/support/run-without-glx.sh
            $<TARGET_FILE:glinspect_e2e_tests> --gtest_filter=NoGlx.*)
set_tests_properties(e2e.no_glx PROPERTIES TIMEOUT 300)

# The view's frames taken from the X server, with and without multisampling.
add_test(NAME e2e.multisample_screenshot
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/e2e/multisample_screenshot.sh $<TARGET_FILE:glinspect>
            $<TARGET_FILE:glinspect_dialog_tool> ${CMAKE_BINARY_DIR}/tests/multisample_screenshot)
set_tests_properties(e2e.multisample_screenshot PROPERTIES TIMEOUT 120)

# The scripts' companion that shows, prints and closes the running dialog.
add_executable(glinspect_dialog_tool ${CMAKE_SOURCE_DIR}/tests/e2e/dialog_tool.cpp)
target_link_libraries(glinspect_dialog_tool PRIVATE glinspect_e2e_support)
set_target_properties(glinspect_dialog_tool PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The view turned by dragging: a native script drives the running program
# through a small Windows helper and judges the frames the X server holds.
add_executable(glinspect_view_drag_helper ${CMAKE_SOURCE_DIR}/tests/e2e/view_drag_helper.cpp)
target_link_libraries(glinspect_view_drag_helper PRIVATE glinspect_e2e_support)
add_test(NAME e2e.view_drag
    COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/e2e/view_drag.py
            $<TARGET_FILE:glinspect_view_drag_helper> ${CMAKE_BINARY_DIR}/tests/view_drag)
# One program at a time: its view's X window is found by size.
set_tests_properties(e2e.view_drag PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE)

# The companion's text and JSON, read from the Linux side where JSON parsers live.
add_test(NAME e2e.report_companion
    COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/e2e/report_companion.py $<TARGET_FILE:glinspect-report>
            ${PROJECT_VERSION})
set_tests_properties(e2e.report_companion PROPERTIES TIMEOUT 180)

# DLLs the loaded-driver scan is tried on: a driver with a version resource,
# one without, and a DLL that is no driver.
set(GLINSPECT_TEST_DRIVER_SOURCE ${CMAKE_CURRENT_LIST_DIR}/test_driver/test_driver.cpp)
add_library(glinspect_test_driver SHARED ${GLINSPECT_TEST_DRIVER_SOURCE}
    ${CMAKE_CURRENT_LIST_DIR}/test_driver/test_driver.rc)
add_library(glinspect_test_driver_unversioned SHARED ${GLINSPECT_TEST_DRIVER_SOURCE})
target_compile_definitions(glinspect_test_driver PRIVATE GLINSPECT_DRIVER_ENTRY)
target_compile_definitions(glinspect_test_driver_unversioned PRIVATE GLINSPECT_DRIVER_ENTRY)
add_library(glinspect_test_not_driver SHARED ${GLINSPECT_TEST_DRIVER_SOURCE})
foreach(dll glinspect_test_driver glinspect_test_driver_unversioned glinspect_test_not_driver)
    set_target_properties(${dll} PROPERTIES PREFIX "")
    # Undecorated export names, as a real driver has them: "DrvSetContext", not "DrvSetContext@12".
    target_link_options(${dll} PRIVATE -static-libgcc -static-libstdc++ -Wl,--kill-at)
endforeach()
target_compile_definitions(glinspect_win32_tests PRIVATE
    GLINSPECT_TEST_DRIVER="$<TARGET_FILE:glinspect_test_driver>"
    GLINSPECT_TEST_DRIVER_UNVERSIONED="$<TARGET_FILE:glinspect_test_driver_unversioned>"
    GLINSPECT_TEST_NOT_DRIVER="$<TARGET_FILE:glinspect_test_not_driver>")
add_dependencies(glinspect_win32_tests glinspect_test_driver glinspect_test_driver_unversioned
    glinspect_test_not_driver)
