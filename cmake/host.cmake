# The native build: unit tests, sanitizers and fuzz targets for the portable code.

# The fuzz targets learn from the coverage of the code they exercise.
if(GLINSPECT_FUZZ)
    target_compile_options(glinspect_portable PRIVATE -fsanitize=fuzzer-no-link)
    target_compile_options(glinspect_compare PRIVATE -fsanitize=fuzzer-no-link)
endif()

# The test scene needs only OpenGL: it is drawn natively through Mesa's EGL
# (offscreen, no display server) for its pixel tests.
find_package(OpenGL REQUIRED COMPONENTS OpenGL EGL)
add_library(glinspect_scene STATIC view/scene.cpp)
target_include_directories(glinspect_scene PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(glinspect_scene PUBLIC OpenGL::OpenGL)
