#include "platform/gl_strings.h"

#include "platform/wgl_binding.h"

const char* GlString(GLenum name)
{
    return reinterpret_cast<const char*>(wgl.getString(name));
}

const char* WglExtensionString()
{
    PFNWGLGETEXTENSIONSSTRINGARBPROC getExtensionsString = FetchGetExtensionsStringARB();
    if (getExtensionsString == nullptr)
        return nullptr;
    return getExtensionsString(wgl.getCurrentDC());
}

const char* QueryWglExtensions()
{
    const char* extensions = WglExtensionString();
    return extensions != nullptr ? extensions : "";
}

const char* ExtensionSearchString()
{
    const char* extensions = WglExtensionString();
    return extensions != nullptr ? extensions : GlString(GL_EXTENSIONS);
}
