# The native build: unit tests, sanitizers and fuzz targets for the portable code.
if(GLINSPECT_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
add_compile_options(-Wall -Wextra)

# The test scene needs only OpenGL: it is drawn natively through Mesa's EGL
# (offscreen, no display server) for its pixel tests.
find_package(OpenGL REQUIRED COMPONENTS OpenGL EGL)
add_library(glinspect_scene STATIC view/scene.cpp)
target_include_directories(glinspect_scene PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(glinspect_scene PUBLIC OpenGL::OpenGL)
