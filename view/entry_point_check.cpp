#include "view/entry_point_check.h"

#include "platform/fetch_function.h"
#include "platform/gl_strings.h"
#include "platform/wgl_binding.h"

namespace {

// NOTE: opengl32.dll exports the OpenGL 1.0 and 1.1 commands itself, and
// wglGetProcAddress is not meant for them (Windows' answers NULL).
const void* LookUpCommand(const char* name, bool openglExport)
{
    using GenericFunction = void (*)();
    const GenericFunction function =
        openglExport ? FetchFunction<GenericFunction>(GetModuleHandleA("opengl32.dll"), name)
                     : reinterpret_cast<GenericFunction>(wgl.getProcAddress(name));
    return reinterpret_cast<const void*>(function);
}

}  // namespace

void CheckEntryPoints(void* gathering)
{
    const EntryPointGathering& asked = *static_cast<const EntryPointGathering*>(gathering);
    const EntryPointRegistry registry(kRegistryEntryPoints);
    FactPool& pool = *asked.pool;
    EntryPointFacts& facts = *asked.facts;
    bool ok = CheckVersionEntryPoints(registry, LookUpCommand, GlString(GL_VERSION), asked.core, pool, facts);
    if (!asked.core) {
        const LineList& gl = asked.data->glExtensions;
        const LineList& wgl = asked.data->wglExtensions;
        ok = CheckExtensionEntryPoints(registry, LookUpCommand, gl.lines, gl.count, pool, facts) && ok;
        ok = CheckExtensionEntryPoints(registry, LookUpCommand, wgl.lines, wgl.count, pool, facts) && ok;
    }
    if (!ok)
        pool.MarkFailed();
}
