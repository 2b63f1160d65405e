# The Windows program: one small exe that loads on Windows 95 OSR2 and NT 4.0.

# The registry's entry points: only the companion's --entry-points reaches
# them, so only it links the table.
set(GLINSPECT_ENTRY_POINT_TABLE ${CMAKE_BINARY_DIR}/generated/entry_point_table.cpp)
glinspect_entry_point_table(${GLINSPECT_KHRONOS_API} ${GLINSPECT_ENTRY_POINT_TABLE} kRegistryEntryPoints)

add_library(glinspect_core STATIC
    app/clipboard_text.cpp
    app/main_dialog.cpp
    app/report_console.cpp
    app/report_gather.cpp
    app/report_menu.cpp
    app/save_dialog_type.cpp
    app/std_output.cpp
    app/whole_file.cpp
    drivers/driver_facts.cpp
    drivers/driver_table.cpp
    drivers/registry_driver_store.cpp
    platform/ansi_text.cpp
    platform/gl_strings.cpp
    platform/hidden_window.cpp
    platform/system_facts.cpp
    platform/wgl_binding.cpp
    report/renderer_report.cpp
    view/context_facts.cpp
    view/entry_point_check.cpp
    view/gl_view.cpp
    view/multisample_probe.cpp
    view/offscreen_target.cpp
    view/pixel_format_table.cpp
    view/render_check.cpp
    view/scene.cpp
    view/view_window.cpp
    ${GLINSPECT_ENTRY_POINT_TABLE}
)
target_include_directories(glinspect_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(glinspect_core PUBLIC glinspect_portable glu32 opengl32 gdi32 user32 advapi32
    comctl32)

# Both version resources take their numbers from the project version.
set(GLINSPECT_RESOURCES ${CMAKE_CURRENT_SOURCE_DIR}/app/resources)

# One application manifest for both programs. The dialog's depends on Common
# Controls 6 for its controls' visual style; the console companion shows no
# control, and its hidden lists stay USER32's own 8-bit ones.
set(GLINSPECT_MANIFESTS ${CMAKE_BINARY_DIR}/manifests)
set(GLINSPECT_MANIFEST_DEPENDENCY [=[<dependency><dependentAssembly>
<assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls" version="6.0.0.0" processorArchitecture="*" publicKeyToken="6595b64144ccf1df" language="*"/>
</dependentAssembly></dependency>
]=])
configure_file(${GLINSPECT_RESOURCES}/application.manifest.in ${GLINSPECT_MANIFESTS}/glinspect.manifest @ONLY)
set(GLINSPECT_MANIFEST_DEPENDENCY "")
configure_file(${GLINSPECT_RESOURCES}/application.manifest.in ${GLINSPECT_MANIFESTS}/glinspect-report.manifest
    @ONLY)
set_source_files_properties(app/resources/glinspect.rc app/resources/glinspect-report.rc PROPERTIES
    COMPILE_DEFINITIONS "GLINSPECT_VERSION_MAJOR=${PROJECT_VERSION_MAJOR};GLINSPECT_VERSION_MINOR=${PROJECT_VERSION_MINOR};GLINSPECT_VERSION_PATCH=${PROJECT_VERSION_PATCH}")
set_source_files_properties(app/resources/glinspect.rc PROPERTIES
    OBJECT_DEPENDS "${GLINSPECT_RESOURCES}/glinspect.ico;${GLINSPECT_RESOURCES}/version_info.rc;${GLINSPECT_MANIFESTS}/glinspect.manifest")
set_source_files_properties(app/resources/glinspect-report.rc PROPERTIES
    OBJECT_DEPENDS "${GLINSPECT_RESOURCES}/version_info.rc;${GLINSPECT_MANIFESTS}/glinspect-report.manifest")

# The programs start at their own entry points (app/startup.h), without the
# C run-time's start-up code. Nothing then applies runtime pseudo-relocations,
# so a data import that would need one fails the link instead.
set(GLINSPECT_STARTUP_LINK_FLAGS -nostartfiles -Wl,--disable-auto-import)

add_executable(glinspect WIN32 app/main.cpp app/startup.cpp app/resources/glinspect.rc)
target_link_options(glinspect PRIVATE ${GLINSPECT_STARTUP_LINK_FLAGS}
    -Wl,-e,_WinMainCRTStartup)
target_link_libraries(glinspect PRIVATE glinspect_core)
# windres looks there for the manifest.
target_include_directories(glinspect PRIVATE ${GLINSPECT_MANIFESTS})
set_target_properties(glinspect PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The console companion that prints the whole report.
add_executable(glinspect-report app/report_main.cpp app/compare_console.cpp app/startup.cpp
    app/resources/glinspect-report.rc)
target_link_options(glinspect-report PRIVATE ${GLINSPECT_STARTUP_LINK_FLAGS}
    -Wl,-e,_mainCRTStartup)
target_link_libraries(glinspect-report PRIVATE glinspect_core glinspect_compare)
target_include_directories(glinspect-report PRIVATE ${GLINSPECT_MANIFESTS})
set_target_properties(glinspect-report PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
