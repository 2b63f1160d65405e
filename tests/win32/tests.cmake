# Windows-side tests, run under Wine against its real USER32 and WGL. Every
# test program is built first; without GLINSPECT_WINE_TESTS (where no 32-bit
# code runs) only the checks that read the exes from Linux are registered.
file(GLOB GLINSPECT_WIN32_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
add_executable(glinspect_win32_tests ${GLINSPECT_WIN32_TEST_SOURCES}
    ${CMAKE_CURRENT_LIST_DIR}/support/fake_wgl.cpp ${CMAKE_SOURCE_DIR}/tests/support/windows_path.cpp)
target_link_libraries(glinspect_win32_tests PRIVATE glinspect_core gtest_main version)
target_compile_definitions(glinspect_win32_tests PRIVATE GLINSPECT_EXE="$<TARGET_FILE:glinspect>"
    GLINSPECT_REPORT_EXE="$<TARGET_FILE:glinspect-report>")
add_dependencies(glinspect_win32_tests glinspect glinspect-report)
# Both exes load on Windows 95 OSR2, 98 and NT 4.0: their headers, and every import
# checked against the names all three export (tests/support/win9x_nt4_exports.txt).
set(GLINSPECT_LOAD_CHECK ${CMAKE_SOURCE_DIR}/tests/support/win9x_nt4_load_check.py)
add_test(NAME win32.loads_on_win9x_nt4 COMMAND python3 ${GLINSPECT_LOAD_CHECK} $<TARGET_FILE:glinspect>)
add_test(NAME win32.loads_on_win9x_nt4_report
    COMMAND python3 ${GLINSPECT_LOAD_CHECK} --console $<TARGET_FILE:glinspect-report>)

# ...and the check refuses what they cannot load: programs built as the exes are,
# one importing a function NT 4.0 lacks, one importing by ordinal and from SHELL32.
set(GLINSPECT_LOAD_CHECK_SOURCES ${CMAKE_CURRENT_LIST_DIR}/load_check)
set(GLINSPECT_COMCTL32_BY_ORDINAL ${CMAKE_CURRENT_BINARY_DIR}/libcomctl32_by_ordinal.a)
add_custom_command(OUTPUT ${GLINSPECT_COMCTL32_BY_ORDINAL}
    COMMAND ${CMAKE_DLLTOOL} -k -d ${GLINSPECT_LOAD_CHECK_SOURCES}/comctl32_by_ordinal.def
            -l ${GLINSPECT_COMCTL32_BY_ORDINAL}
    DEPENDS ${GLINSPECT_LOAD_CHECK_SOURCES}/comctl32_by_ordinal.def)
add_custom_target(glinspect_comctl32_by_ordinal DEPENDS ${GLINSPECT_COMCTL32_BY_ORDINAL})
add_executable(glinspect_imports_getfilesizeex ${GLINSPECT_LOAD_CHECK_SOURCES}/imports_getfilesizeex.cpp)
add_executable(glinspect_imports_refused ${GLINSPECT_LOAD_CHECK_SOURCES}/imports_refused.cpp)
add_dependencies(glinspect_imports_refused glinspect_comctl32_by_ordinal)
target_link_libraries(glinspect_imports_refused PRIVATE ${GLINSPECT_COMCTL32_BY_ORDINAL} shell32)
add_test(NAME win32.load_check_refuses_getfilesizeex
    COMMAND python3 ${GLINSPECT_LOAD_CHECK} --console --expect-refusal GetFileSizeEx
            $<TARGET_FILE:glinspect_imports_getfilesizeex>)
add_test(NAME win32.load_check_refuses_ordinal_and_other_dll
    COMMAND python3 ${GLINSPECT_LOAD_CHECK} --console --expect-refusal "COMCTL32.dll ordinal 17"
            --expect-refusal "SHELL32.dll is not a DLL" $<TARGET_FILE:glinspect_imports_refused>)

# The dialog's exe stays within 70 KB: it is a download people pass around.
add_test(NAME win32.exe_size COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:glinspect> -DMAX_BYTES=71680
    -P ${CMAKE_SOURCE_DIR}/tests/support/exe_size_check.cmake)

# What every program that drives the real exe from outside shares.
add_library(glinspect_e2e_support STATIC ${CMAKE_SOURCE_DIR}/tests/e2e/app_driver.cpp
    ${CMAKE_SOURCE_DIR}/tests/support/windows_path.cpp)
target_include_directories(glinspect_e2e_support PUBLIC ${CMAKE_SOURCE_DIR}/tests/e2e ${CMAKE_SOURCE_DIR})
target_compile_definitions(glinspect_e2e_support PRIVATE GLINSPECT_EXE="$<TARGET_FILE:glinspect>"
    GLINSPECT_REPORT_EXE="$<TARGET_FILE:glinspect-report>")
add_dependencies(glinspect_e2e_support glinspect glinspect-report)

# End-to-end tests: a second Windows program starts the real exe and drives it.
file(GLOB GLINSPECT_E2E_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*_test.cpp)
add_executable(glinspect_e2e_tests ${GLINSPECT_E2E_TEST_SOURCES})
target_include_directories(glinspect_e2e_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(glinspect_e2e_tests PRIVATE glinspect_e2e_support gtest_main opengl32 gdi32 user32 advapi32)

# The scripts' companion that shows, prints and closes the running dialog.
add_executable(glinspect_dialog_tool ${CMAKE_SOURCE_DIR}/tests/e2e/dialog_tool.cpp)
target_link_libraries(glinspect_dialog_tool PRIVATE glinspect_e2e_support)
set_target_properties(glinspect_dialog_tool PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# A small Windows helper through which view_drag.py drives the running program.
add_executable(glinspect_view_drag_helper ${CMAKE_SOURCE_DIR}/tests/e2e/view_drag_helper.cpp)
target_link_libraries(glinspect_view_drag_helper PRIVATE glinspect_e2e_support)

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
    target_link_options(${dll} PRIVATE -Wl,--kill-at)
endforeach()
target_compile_definitions(glinspect_win32_tests PRIVATE
    GLINSPECT_TEST_DRIVER="$<TARGET_FILE:glinspect_test_driver>"
    GLINSPECT_TEST_DRIVER_UNVERSIONED="$<TARGET_FILE:glinspect_test_driver_unversioned>"
    GLINSPECT_TEST_NOT_DRIVER="$<TARGET_FILE:glinspect_test_not_driver>")
add_dependencies(glinspect_win32_tests glinspect_test_driver glinspect_test_driver_unversioned
    glinspect_test_not_driver)

# Everything below runs a Windows program under Wine.
if(GLINSPECT_WINE_TESTS)
    gtest_discover_tests(glinspect_win32_tests TEST_PREFIX "win32." DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 60)
    gtest_discover_tests(glinspect_e2e_tests TEST_PREFIX "e2e." DISCOVERY_MODE PRE_TEST
        TEST_FILTER "-NoGlx.*:ReportOfLongExtensionNames.*" DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)

    # A driver with extension names of 999, 1,000 and 5,000 characters and one
    # with bytes above 0x7F, which Mesa adds to its string on request.
    string(REPEAT "x" 4987 GLINSPECT_NAME_5000)
    string(REPEAT "y" 987 GLINSPECT_NAME_1000)
    string(REPEAT "z" 986 GLINSPECT_NAME_999)
    add_test(NAME e2e.long_extension_names
        COMMAND glinspect_e2e_tests --gtest_filter=ReportOfLongExtensionNames.*)
    set_tests_properties(e2e.long_extension_names PROPERTIES TIMEOUT 120 ENVIRONMENT
        "MESA_EXTENSION_OVERRIDE=+GL_glinspect_${GLINSPECT_NAME_5000} +GL_glinspect_${GLINSPECT_NAME_1000} +GL_glinspect_${GLINSPECT_NAME_999} +GL_glinspect_high_éÿ")

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

    # The view check refuses the black view that Debian 12's Wine leaves on the screen.
    add_test(NAME e2e.black_view_check
        COMMAND sh ${CMAKE_SOURCE_DIR}/tests/e2e/black_view_check.sh $<TARGET_FILE:glinspect_dialog_tool>
                ${CMAKE_BINARY_DIR}/tests/black_view_check)
    set_tests_properties(e2e.black_view_check PROPERTIES TIMEOUT 120 SKIP_RETURN_CODE 77)

    # The view turned by dragging: a native script drives the running program
    # through a small Windows helper and judges the frames the X server holds.
    add_test(NAME e2e.view_drag
        COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/e2e/view_drag.py
                $<TARGET_FILE:glinspect_view_drag_helper> ${CMAKE_BINARY_DIR}/tests/view_drag)
    # One program at a time: its view's X window is found by size.
    set_tests_properties(e2e.view_drag PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE)

    # The companion's text and JSON, read from the Linux side where JSON parsers
    # and python3-jsonschema live, and its --compare of two real reports.
    add_test(NAME e2e.report_companion
        COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/e2e/report_companion.py $<TARGET_FILE:glinspect-report>
                ${PROJECT_VERSION} ${CMAKE_BINARY_DIR}/tests/report_companion)
    set_tests_properties(e2e.report_companion PROPERTIES TIMEOUT 180)
endif()
