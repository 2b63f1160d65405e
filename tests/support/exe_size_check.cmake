# cmake -DEXE=PATH -DMAX_BYTES=N -P exe_size_check.cmake: fails when the file
# is larger than N bytes, and prints its size either way.
file(SIZE "${EXE}" size)
get_filename_component(name "${EXE}" NAME)
if(size GREATER MAX_BYTES)
    message(FATAL_ERROR "${name}: ${size} bytes, over the ${MAX_BYTES} allowed")
endif()
message(STATUS "${name}: ${size} bytes, at most ${MAX_BYTES}")
