// A small console companion for the scripts: "show" starts glinspect.exe,
// waits for its dialog and prints what it shows, leaving it open; "close"
// presses OK on a running dialog and reports the exit status.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/resources/resource_ids.h"
#include "app_driver.h"

namespace {

void PrintDialog(HWND dialog)
{
    std::printf("%s\n", WindowText(dialog).c_str());
    std::string summary = WindowText(GetDlgItem(dialog, IDC_INFO_TEXT));
    size_t start = 0;
    for (size_t end; (end = summary.find('\n', start)) != std::string::npos; start = end + 1)
        std::printf("  %s\n", summary.substr(start, end - start).c_str());
    std::printf("  %s\n", summary.substr(start).c_str());
    std::printf("  OpenGL extensions: %u lines\n",
                static_cast<unsigned>(ListLines(GetDlgItem(dialog, IDC_GL_EXTENSIONS)).size()));
    std::printf("  WGL extensions: %u lines\n",
                static_cast<unsigned>(ListLines(GetDlgItem(dialog, IDC_WGL_EXTENSIONS)).size()));
    HWND drivers = GetDlgItem(dialog, IDC_DRIVER_LIST);
    const std::vector<std::string> lines = ListLines(drivers);
    const int selected = ListSelection(drivers);
    std::printf("  OpenGL drivers:\n");
    for (size_t i = 0; i < lines.size(); ++i)
        std::printf("  %s %s\n", static_cast<int>(i) == selected ? "*" : " ", lines[i].c_str());
}

int Show()
{
    AppDriver app;
    if (!app.Start()) {
        if (app.WaitForWindow("OpenGL Error", 1000) != nullptr)
            std::fprintf(stderr, "glinspect shows: OpenGL Error : Initialization Failed\n");
        else
            std::fprintf(stderr, "the dialog did not come up\n");
        return 1;
    }
    PrintDialog(app.Dialog());
    std::fflush(stdout);
    app.Detach();
    return 0;
}

int Close()
{
    HWND dialog = FindWindowA(nullptr, "OpenGL Renderer infos");
    if (dialog == nullptr) {
        std::fprintf(stderr, "no glinspect dialog is open\n");
        return 1;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(dialog, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
    PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    DWORD status = STILL_ACTIVE;
    if (process != nullptr && WaitForSingleObject(process, 15000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &status);
    if (process != nullptr)
        CloseHandle(process);
    std::printf("glinspect closed with exit status %lu\n", static_cast<unsigned long>(status));
    return status == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "show") == 0)
        return Show();
    if (argc == 2 && std::strcmp(argv[1], "close") == 0)
        return Close();
    std::fprintf(stderr, "usage: glinspect_dialog_tool show|close\n");
    return 2;
}
