# The Windows program: one small exe that loads on Windows 95 OSR2 and NT 4.0.

# No C++ run-time pieces the program does not use. NOTE: nothing throws, so no
# unwind tables either: on PE, each function's .eh_frame entry keeps it alive
# past --gc-sections, and without them unused functions are dropped.
set(GLINSPECT_WIN32_FLAGS -fno-exceptions -fno-rtti -fno-threadsafe-statics
    -fno-asynchronous-unwind-tables -ffunction-sections -fdata-sections -Wall -Wextra)
set(GLINSPECT_WIN32_LINK_FLAGS -static-libgcc -static-libstdc++
    -Wl,--gc-sections -Wl,--no-insert-timestamp -s)

target_compile_options(glinspect_portable PRIVATE ${GLINSPECT_WIN32_FLAGS})

add_library(glinspect_core STATIC
    app/main_dialog.cpp
    app/report_gather.cpp
    app/report_menu.cpp
    drivers/driver_facts.cpp
    drivers/driver_table.cpp
    drivers/registry_driver_store.cpp
    platform/fact_pool.cpp
    platform/wgl_binding.cpp
    report/ansi_text_win32.cpp
    report/renderer_report.cpp
    report/report_collect.cpp
    view/context_facts.cpp
    view/gl_view.cpp
    view/multisample_probe.cpp
    view/pixel_format_table.cpp
    view/scene.cpp
    view/view_window.cpp
)
target_include_directories(glinspect_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_options(glinspect_core PRIVATE ${GLINSPECT_WIN32_FLAGS})
target_link_libraries(glinspect_core PUBLIC glinspect_portable glu32 opengl32 gdi32 user32 advapi32)

add_executable(glinspect WIN32 app/main.cpp app/resources/glinspect.rc)
target_compile_options(glinspect PRIVATE ${GLINSPECT_WIN32_FLAGS})
target_link_options(glinspect PRIVATE ${GLINSPECT_WIN32_LINK_FLAGS})
target_link_libraries(glinspect PRIVATE glinspect_core)
set_target_properties(glinspect PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
set_source_files_properties(app/resources/glinspect.rc PROPERTIES
    OBJECT_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/app/resources/glinspect.ico)

# The console companion that prints the whole report.
add_executable(glinspect-report app/report_main.cpp)
target_compile_options(glinspect-report PRIVATE ${GLINSPECT_WIN32_FLAGS})
target_link_options(glinspect-report PRIVATE ${GLINSPECT_WIN32_LINK_FLAGS})
target_link_libraries(glinspect-report PRIVATE glinspect_core)
set_target_properties(glinspect-report PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
