# The Windows program: one small exe that loads on Windows 95 OSR2 and NT 4.0.

# No C++ run-time pieces the program does not use. NOTE: nothing throws, so no
# unwind tables either: on PE, each function's .eh_frame entry keeps it alive
# past --gc-sections, and without them unused functions are dropped.
# NOTE: no -fdata-sections: MinGW's GCC then puts every zero-filled global in a
# .data$ section, on disk, instead of .bss.
set(GLINSPECT_WIN32_FLAGS -fno-exceptions -fno-rtti -fno-threadsafe-statics
    -fno-asynchronous-unwind-tables -fno-unwind-tables -ffunction-sections -Wall -Wextra)
# No build directory in the exes: the same sources give the same bytes anywhere.
list(APPEND GLINSPECT_WIN32_FLAGS -ffile-prefix-map=${CMAKE_SOURCE_DIR}/=)
# The relocation table (about 1.5 KB) stays: with it, Vista and later load
# the exe at a random address.
set(GLINSPECT_WIN32_LINK_FLAGS -static-libgcc -static-libstdc++
    -Wl,--gc-sections -Wl,--no-insert-timestamp -s
    -Wl,-T,${CMAKE_CURRENT_LIST_DIR}/discard-unwind-tables.ld)

target_compile_options(glinspect_portable PRIVATE ${GLINSPECT_WIN32_FLAGS})

add_library(glinspect_core STATIC
    app/clipboard_text.cpp
    app/main_dialog.cpp
    app/report_collect.cpp
    app/report_console.cpp
    app/report_gather.cpp
    app/report_menu.cpp
    app/save_dialog_type.cpp
    app/std_output.cpp
    app/whole_file.cpp
    drivers/driver_facts.cpp
    drivers/driver_table.cpp
    drivers/registry_driver_store.cpp
    platform/fact_pool.cpp
    platform/system_facts.cpp
    platform/wgl_binding.cpp
    report/ansi_text_win32.cpp
    report/renderer_report.cpp
    view/context_facts.cpp
    view/gl_view.cpp
    view/multisample_probe.cpp
    view/pixel_format_table.cpp
    view/scene.cpp
    view/view_window.cpp
)
target_include_directories(glinspect_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_options(glinspect_core PRIVATE ${GLINSPECT_WIN32_FLAGS})
target_link_libraries(glinspect_core PUBLIC glinspect_portable glu32 opengl32 gdi32 user32 advapi32
    comctl32)

# Both version resources take their numbers from the project version.
set(GLINSPECT_RESOURCES ${CMAKE_CURRENT_SOURCE_DIR}/app/resources)
set_source_files_properties(app/resources/glinspect.rc app/resources/glinspect-report.rc PROPERTIES
    COMPILE_DEFINITIONS "GLINSPECT_VERSION_MAJOR=${PROJECT_VERSION_MAJOR};GLINSPECT_VERSION_MINOR=${PROJECT_VERSION_MINOR};GLINSPECT_VERSION_PATCH=${PROJECT_VERSION_PATCH}")
set_source_files_properties(app/resources/glinspect.rc PROPERTIES
    OBJECT_DEPENDS "${GLINSPECT_RESOURCES}/glinspect.ico;${GLINSPECT_RESOURCES}/version_info.rc;${GLINSPECT_RESOURCES}/glinspect.manifest")
set_source_files_properties(app/resources/glinspect-report.rc PROPERTIES
    OBJECT_DEPENDS "${GLINSPECT_RESOURCES}/version_info.rc;${GLINSPECT_RESOURCES}/glinspect.manifest")

# The programs start at their own entry points (app/startup.h), without the
# C run-time's start-up code. Nothing then applies runtime pseudo-relocations,
# so a data import that would need one fails the link instead.
set(GLINSPECT_STARTUP_LINK_FLAGS -nostartfiles -Wl,--disable-auto-import)

add_executable(glinspect WIN32 app/main.cpp app/startup.cpp app/resources/glinspect.rc)
target_compile_options(glinspect PRIVATE ${GLINSPECT_WIN32_FLAGS})
target_link_options(glinspect PRIVATE ${GLINSPECT_WIN32_LINK_FLAGS} ${GLINSPECT_STARTUP_LINK_FLAGS}
    -Wl,-e,_WinMainCRTStartup)
target_link_libraries(glinspect PRIVATE glinspect_core)
set_target_properties(glinspect PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The console companion that prints the whole report.
add_executable(glinspect-report app/report_main.cpp app/startup.cpp app/resources/glinspect-report.rc)
target_compile_options(glinspect-report PRIVATE ${GLINSPECT_WIN32_FLAGS})
target_link_options(glinspect-report PRIVATE ${GLINSPECT_WIN32_LINK_FLAGS} ${GLINSPECT_STARTUP_LINK_FLAGS}
    -Wl,-e,_mainCRTStartup)
target_link_libraries(glinspect-report PRIVATE glinspect_core)
set_target_properties(glinspect-report PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
