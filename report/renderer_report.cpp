#include "report/renderer_report.h"

#include "platform/extension_tokens.h"
#include "platform/gl_strings.h"
#include "report/summary_text.h"

void ShowRendererSummary(HWND infoText)
{
    char summary[kSummaryCapacity];
    FormatRendererSummary(summary, GlString(GL_VENDOR), GlString(GL_RENDERER),
                          GlString(GL_VERSION));
    SetWindowTextA(infoText, summary);
}

bool HasExtension(const char* name)
{
    return ContainsWholeToken(ExtensionSearchString(), name);
}

static void AddListLine(void* list, const char* line)
{
    SendMessageA(static_cast<HWND>(list), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
}

void FillExtensionList(HWND list, const char* text)
{
    ForEachExtensionToken(text, AddListLine, list);
}
