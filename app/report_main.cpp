// glinspect-report: the console companion. It makes the same context on a
// hidden window as the dialog does on its view, fills hidden controls like
// the dialog's, and prints the report: plain text, or JSON with --json; with
// --formats the table of pixel formats too, with --entry-points the check of
// every command the context's version and extensions promise. It reads the
// driver registrations and never writes them. With --compare it makes no
// report but compares two it made before.
#include <cstdlib>
#include <cstring>

#include "app/compare_console.h"
#include "app/report_console.h"
#include "app/startup.h"
#include "app/std_output.h"

namespace {

const char kUsage[] =
    "usage: glinspect-report [--json] [--formats] [--entry-points]\r\n"
    "       glinspect-report --compare OLD.json NEW.json [--json]\r\n"
    "  --json          the report as one JSON object\r\n"
    "  --formats       add the table of the pixel formats the display offers\r\n"
    "  --entry-points  add the check of every command the version and the\r\n"
    "                  extensions promise, against the Khronos registry\r\n"
    "  --compare       print what changed from one JSON report to the other, a\r\n"
    "                  line each (--json: as one JSON object); exit 0 when they\r\n"
    "                  agree, 1 when they differ, 2 when a file is not a report\r\n"
    "  --help          print this text\r\n"
    "  --version       print the program's version\r\n";
const char kVersion[] = "glinspect-report " GLINSPECT_VERSION "\r\n";

}  // namespace

int main(int argc, char** argv)
{
    ReportOptions options = {};
    const char* compared[2] = {nullptr, nullptr};
    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        if (std::strcmp(option, "--json") == 0) {
            options.json = true;
        } else if (std::strcmp(option, "--compare") == 0 && i + 2 < argc && compared[0] == nullptr) {
            compared[0] = argv[++i];
            compared[1] = argv[++i];
        } else if (std::strcmp(option, "--formats") == 0) {
            options.pixelFormats = true;
        } else if (std::strcmp(option, "--entry-points") == 0) {
            options.entryPoints = true;
        } else if (std::strcmp(option, "--help") == 0) {
            return PrintToStdOutput(kUsage, sizeof(kUsage) - 1) ? 0 : 1;
        } else if (std::strcmp(option, "--version") == 0) {
            return PrintToStdOutput(kVersion, sizeof(kVersion) - 1) ? 0 : 1;
        } else {
            WriteStd(STD_ERROR_HANDLE, kUsage, sizeof(kUsage) - 1);
            return 2;
        }
    }
    if (compared[0] != nullptr && !options.pixelFormats && !options.entryPoints)
        return PrintComparison(compared[0], compared[1], options.json);
    if (compared[0] != nullptr) {
        WriteStd(STD_ERROR_HANDLE, kUsage, sizeof(kUsage) - 1);
        return 2;
    }
    return PrintReport(options);
}

// What MSVCRT's __getmainargs fills in besides the arguments.
struct StartupInfo {
    int newMode;
};
// NOTE: the MSVCRT of Windows 95 and NT 4.0 returns nothing here; argv
// stays null when the arguments could not be had.
extern "C" void __getmainargs(int* argc, char*** argv, char*** environment, int expandWildcards,
                              StartupInfo* info);

// The entry point the linker is given.
extern "C" void mainCRTStartup()
{
    __set_app_type(kConsoleApp);
    RunStaticConstructors();
    int argc = 0;
    char** argv = nullptr;
    char** environment = nullptr;
    StartupInfo info = {0};
    __getmainargs(&argc, &argv, &environment, 0, &info);
    if (argv == nullptr)
        std::exit(255);
    std::exit(main(argc, argv));
}
