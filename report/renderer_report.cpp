#include "report/renderer_report.h"

#include "platform/wgl_binding.h"
#include "report/extension_tokens.h"
#include "report/summary_text.h"

static const char* GlString(GLenum name)
{
    return reinterpret_cast<const char*>(wgl.getString(name));
}

// The driver's WGL extension string, or null when it has none to give.
static const char* WglExtensionString()
{
    PFNWGLGETEXTENSIONSSTRINGARBPROC getExtensionsString = FetchGetExtensionsStringARB();
    if (getExtensionsString == nullptr)
        return nullptr;
    return getExtensionsString(wgl.getCurrentDC());
}

void ShowRendererSummary(HWND infoText)
{
    char summary[kSummaryCapacity];
    FormatRendererSummary(summary, GlString(GL_VENDOR), GlString(GL_RENDERER),
                          GlString(GL_VERSION));
    SetWindowTextA(infoText, summary);
}

const char* QueryWglExtensions()
{
    const char* extensions = WglExtensionString();
    return extensions != nullptr ? extensions : "";
}

bool HasExtension(const char* name)
{
    const char* haystack = WglExtensionString();
    if (haystack == nullptr)
        haystack = GlString(GL_EXTENSIONS);
    return ContainsWholeToken(haystack, name);
}

static void AddListLine(void* list, const char* line)
{
    SendMessageA(static_cast<HWND>(list), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
}

void FillExtensionList(HWND list, const char* text)
{
    ForEachExtensionToken(text, AddListLine, list);
}
