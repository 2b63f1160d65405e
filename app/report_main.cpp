// glinspect-report: the console companion. It makes the same context on a
// hidden window as the dialog does on its view, fills hidden controls like
// the dialog's, and prints the report: plain text, or JSON with --json; with
// --formats the table of pixel formats too, with --entry-points the check of
// every command the context's version and extensions promise. It reads the driver registrations
// and never writes them.
#include <cstdlib>
#include <cstring>

#include "app/report_console.h"
#include "app/startup.h"

namespace {

const char kUsage[] =
    "usage: glinspect-report [--json] [--formats] [--entry-points]\r\n"
    "  --json          the report as one JSON object\r\n"
    "  --formats       add the table of the pixel formats the display offers\r\n"
    "  --entry-points  add the check of every command the version and the\r\n"
    "                  extensions promise, against the Khronos registry\r\n"
    "  --help          print this text\r\n"
    "  --version       print the program's version\r\n";
const char kVersion[] = "glinspect-report " GLINSPECT_VERSION "\r\n";

}  // namespace

int main(int argc, char** argv)
{
    ReportOptions options = {};
    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        if (std::strcmp(option, "--json") == 0) {
            options.json = true;
        } else if (std::strcmp(option, "--formats") == 0) {
            options.pixelFormats = true;
        } else if (std::strcmp(option, "--entry-points") == 0) {
            options.entryPoints = true;
        } else if (std::strcmp(option, "--help") == 0) {
            WriteStd(STD_OUTPUT_HANDLE, kUsage, sizeof(kUsage) - 1);
            return 0;
        } else if (std::strcmp(option, "--version") == 0) {
            WriteStd(STD_OUTPUT_HANDLE, kVersion, sizeof(kVersion) - 1);
            return 0;
        } else {
            WriteStd(STD_ERROR_HANDLE, kUsage, sizeof(kUsage) - 1);
            return 2;
        }
    }
    return PrintReport(options);
}

// What MSVCRT's __getmainargs fills in besides the arguments.
struct StartupInfo {
    int newMode;
};
extern "C" int __getmainargs(int* argc, char*** argv, char*** environment, int expandWildcards,
                             StartupInfo* info);

// The entry point the linker is given.
extern "C" void mainCRTStartup()
{
    RunStaticConstructors();
    int argc = 0;
    char** argv = nullptr;
    char** environment = nullptr;
    StartupInfo info = {0};
    if (__getmainargs(&argc, &argv, &environment, 0, &info) < 0)
        std::exit(255);
    std::exit(main(argc, argv));
}
