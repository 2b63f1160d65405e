#include "app/report_console.h"

#include "app/report_gather.h"
#include "app/std_output.h"
#include "drivers/driver_table.h"
#include "platform/ansi_text.h"
#include "platform/gl_strings.h"
#include "platform/hidden_window.h"
#include "report/renderer_report.h"
#include "view/entry_point_check.h"
#include "view/gl_view.h"
#include "view/pixel_format_table.h"

void WriteStd(DWORD which, const char* text, std::size_t length)
{
    WriteInChunks(GetStdHandle(which), text, length);
}

namespace {

const char kOutOfMemory[] = "Out of memory: the report could not be gathered\r\n";

// A hidden control like the dialog's; its hidden parent keeps it unseen.
HWND MakeControl(HWND parent, const char* className, DWORD style, int width, int height)
{
    return CreateWindowExA(0, className, "", WS_CHILD | style, 0, 0, width, height, parent, nullptr,
                           nullptr, nullptr);
}

}  // namespace

int PrintReport(const ReportOptions& options)
{
    EnumerateDriversReadOnly();
    const HWND window = CreateHiddenWindow(400, 400);
    const DWORD list = LBS_NOINTEGRALHEIGHT;
    const ReportControls controls = {
        MakeControl(window, "STATIC", 0, 127, 111),
        MakeControl(window, "STATIC", SS_LEFT, 200, 100),
        MakeControl(window, "LISTBOX", list | LBS_SORT, 200, 200),
        MakeControl(window, "LISTBOX", list | LBS_SORT, 200, 200),
        MakeControl(window, "LISTBOX", list, 200, 50),
    };
    FillDriverList(controls.driverList);

    // Without its windows the view would attach to nothing, and GetDC(NULL)
    // would hand it the screen.
    const bool windowsMade = window != nullptr && controls.view != nullptr && controls.infoText != nullptr &&
                             controls.glExtensionList != nullptr &&
                             controls.wglExtensionList != nullptr && controls.driverList != nullptr;
    int status = 1;
    if (!windowsMade || !glView.Attach(controls.view)) {
        static const char kError[] = "OpenGL Error : Initialization Failed\r\n";
        WriteStd(STD_ERROR_HANDLE, kError, sizeof(kError) - 1);
    } else {
        ShowRendererSummary(controls.infoText);
        FillExtensionList(controls.glExtensionList, GlString(GL_EXTENSIONS));
        FillExtensionList(controls.wglExtensionList, QueryWglExtensions());

        GatheredReport report{};
        TextBuffer text;
        const bool gathered = report.Gather(controls, options.pixelFormats ? ReadPixelFormatTable : nullptr,
                                            options.entryPoints ? CheckEntryPoints : nullptr);
        if (gathered && options.json) {
            WriteReportJson(report.Data(), text, SystemAnsiToUtf16, WriteEntryPointsJson);
        } else if (gathered) {
            WriteReportText(report.Data(), text, WriteEntryPointLine);
            WritePixelFormatTable(report.Data(), text);
            WriteMissingEntryPoints(report.Data(), text);
        }
        if (gathered && text.Ok()) {
            if (PrintToStdOutput(text.Text(), text.Length()))
                status = 0;
        } else {
            // Nothing of a report that is not whole goes to standard output.
            WriteStd(STD_ERROR_HANDLE, kOutOfMemory, sizeof(kOutOfMemory) - 1);
        }
    }
    glView.Release();
    DestroyWindow(window);
    return status;
}
