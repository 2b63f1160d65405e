# The options of every Windows target, set before any target is defined: the
# exes are small and load on Windows 95 OSR2 and NT 4.0, and the tests are
# built as the code they test.

# No C++ run-time pieces the program does not use. NOTE: nothing throws, so no
# unwind tables either: on PE, each function's .eh_frame entry keeps it alive
# past --gc-sections, and without them unused functions are dropped.
# NOTE: no -fdata-sections: MinGW's GCC then puts every zero-filled global in a
# .data$ section, on disk, instead of .bss.
add_compile_options(-Wall -Wextra -fno-asynchronous-unwind-tables -fno-unwind-tables
    -ffunction-sections
    "$<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions;-fno-rtti;-fno-threadsafe-statics>"
    # No build directory in the exes: the same sources give the same bytes anywhere.
    -ffile-prefix-map=${CMAKE_SOURCE_DIR}/=)
# The relocation table (about 1.5 KB) stays: with it, Vista and later load
# the exe at a random address.
add_link_options(-static-libgcc -static-libstdc++ -Wl,--gc-sections -Wl,--no-insert-timestamp -s
    -Wl,-T,${CMAKE_CURRENT_LIST_DIR}/discard-unwind-tables.ld)
