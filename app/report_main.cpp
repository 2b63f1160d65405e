// glinspect-report: the console companion. It makes the same context on a
// hidden window as the dialog does on its view, fills hidden controls like
// the dialog's, and prints the report: plain text, or JSON with --json.
// It reads the driver registrations and never writes them.
#include <cstring>

#include "drivers/driver_table.h"
#include "platform/wgl_binding.h"
#include "report/renderer_report.h"
#include "report/report_collect.h"
#include "view/gl_view.h"

namespace {

// A hidden control like the dialog's; its hidden parent keeps it unseen.
HWND MakeControl(HWND parent, const char* className, DWORD style, int width, int height)
{
    return CreateWindowExA(0, className, "", WS_CHILD | style, 0, 0, width, height, parent, nullptr,
                           nullptr, nullptr);
}

void Write(DWORD which, const char* text, size_t length)
{
    DWORD written = 0;
    WriteFile(GetStdHandle(which), text, static_cast<DWORD>(length), &written, nullptr);
}

int Run(bool json)
{
    EnumerateDriversReadOnly();
    // No style bits: never shown.
    HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 400, 400, nullptr, nullptr, nullptr,
                                  nullptr);
    const DWORD list = LBS_NOINTEGRALHEIGHT;
    const ReportControls controls = {
        MakeControl(window, "STATIC", SS_LEFT, 200, 100),
        MakeControl(window, "LISTBOX", list | LBS_SORT, 200, 200),
        MakeControl(window, "LISTBOX", list | LBS_SORT, 200, 200),
        MakeControl(window, "LISTBOX", list, 200, 50),
    };
    HWND view = MakeControl(window, "STATIC", 0, 127, 111);
    FillDriverList(controls.driverList);

    // Without its windows the view would attach to nothing, and GetDC(NULL)
    // would hand it the screen.
    const bool windowsMade = window != nullptr && view != nullptr && controls.infoText != nullptr &&
                             controls.glExtensionList != nullptr &&
                             controls.wglExtensionList != nullptr && controls.driverList != nullptr;
    int status = 1;
    if (!windowsMade || !glView.Attach(view)) {
        static const char kError[] = "OpenGL Error : Initialization Failed\r\n";
        Write(STD_ERROR_HANDLE, kError, sizeof(kError) - 1);
    } else {
        ShowRendererSummary(controls.infoText);
        FillExtensionList(controls.glExtensionList,
                          reinterpret_cast<const char*>(wgl.getString(GL_EXTENSIONS)));
        FillExtensionList(controls.wglExtensionList, QueryWglExtensions());

        CollectedReport report;
        TextBuffer text;
        if (report.Collect(controls)) {
            if (json)
                WriteReportJson(report.Data(), text);
            else
                WriteReportText(report.Data(), text);
        }
        if (report.Data().summary != nullptr && text.Ok()) {
            Write(STD_OUTPUT_HANDLE, text.Text(), text.Length());
            status = 0;
        }
    }
    glView.Release();
    DestroyWindow(window);
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    bool json = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0) {
            json = true;
        } else {
            static const char kUsage[] = "usage: glinspect-report [--json]\r\n";
            Write(STD_ERROR_HANDLE, kUsage, sizeof(kUsage) - 1);
            return 2;
        }
    }
    return Run(json);
}
