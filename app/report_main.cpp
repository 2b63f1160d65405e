// glinspect-report: the console companion. It makes the same context on a
// hidden window as the dialog does on its view, fills hidden controls like
// the dialog's, and prints the report: plain text, or JSON with --json; with
// --formats the table of pixel formats too. It reads the driver registrations
// and never writes them.
#include <cstring>

#include "app/report_gather.h"
#include "drivers/driver_table.h"
#include "platform/wgl_binding.h"
#include "report/ansi_text_win32.h"
#include "report/renderer_report.h"
#include "app/report_collect.h"
#include "view/gl_view.h"
#include "view/pixel_format_table.h"

namespace {

const char kUsage[] =
    "usage: glinspect-report [--json] [--formats]\r\n"
    "  --json     the report as one JSON object\r\n"
    "  --formats  add the table of the pixel formats the display offers\r\n"
    "  --help     print this text\r\n"
    "  --version  print the program's version\r\n";
const char kVersion[] = "glinspect-report " GLINSPECT_VERSION "\r\n";

struct Options {
    bool json;
    // Whether the pixel-format table was asked for: the report then has it
    // last, and collecting it walks every format of the display.
    bool pixelFormats;
};

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

int Run(const Options& options)
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
        ReportFacts facts;
        TextBuffer text;
        FactArray<PixelFormatRow> formats;
        bool gathered = report.Collect(controls) && facts.Gather();
        if (gathered && options.pixelFormats)
            gathered = ReadPixelFormatTable(glView.deviceContext, formats);
        if (gathered) {
            ReportData data = report.Data();
            facts.HandTo(data);
            data.pixelFormats = formats.Items();
            data.pixelFormatCount = formats.Count();
            data.pixelFormatsAsked = options.pixelFormats;
            if (options.json) {
                WriteReportJson(data, text, SystemAnsiToUtf16);
            } else {
                WriteReportText(data, text);
                WritePixelFormatTable(data, text);
            }
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
    Options options = {};
    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        if (std::strcmp(option, "--json") == 0) {
            options.json = true;
        } else if (std::strcmp(option, "--formats") == 0) {
            options.pixelFormats = true;
        } else if (std::strcmp(option, "--help") == 0) {
            Write(STD_OUTPUT_HANDLE, kUsage, sizeof(kUsage) - 1);
            return 0;
        } else if (std::strcmp(option, "--version") == 0) {
            Write(STD_OUTPUT_HANDLE, kVersion, sizeof(kVersion) - 1);
            return 0;
        } else {
            Write(STD_ERROR_HANDLE, kUsage, sizeof(kUsage) - 1);
            return 2;
        }
    }
    return Run(options);
}
