#include "app/startup.h"

#include <cstdlib>

extern "C" void __main();

void RunStaticConstructors()
{
    // libgcc's constructor walk: it also registers the walk over the
    // destructor list with atexit.
    __main();
}

// The compiler registers each static object's destructor with atexit. MSVCRT
// keeps the list that its exit() runs; MinGW's import library offers only
// its own start-up code's atexit, so this one hands the function to MSVCRT.
extern "C" int atexit(void (*function)())
{
    return _onexit(reinterpret_cast<_onexit_t>(function)) != nullptr ? 0 : -1;
}
