// Entry points that not every Windows has, fetched by name at run time so the
// exes still load on Windows 95 and NT 4.0.
#pragma once

#include "platform/windows_headers.h"

// The export name of module as a Function; null when module is null or does
// not export it. GetProcAddress answers FARPROC; each caller's own type is
// reached by way of the generic function pointer type.
template <typename Function>
Function FetchFunction(HMODULE module, const char* name)
{
    if (module == nullptr)
        return nullptr;
    using GenericFunction = void (*)();
    return reinterpret_cast<Function>(reinterpret_cast<GenericFunction>(GetProcAddress(module, name)));
}
