// Measures what a user of glinspect feels, each figure side by side with a
// floor taken in the same run: start-up until the cube is first drawn, one
// drag step of the view, the exe's size, and the peak resident memory.
//
//   glinspect_bench.exe [--short] [REPORT]
//
// Prints a Markdown table and writes it to REPORT too. --short takes fewer
// repetitions and steps, to prove the benchmark still runs. Exit status 0
// when every measurement was taken (whether or not it met its target), 1
// when a program did not come up or did not answer.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kDialogCaption[] = "OpenGL Renderer infos";
const int kViewId = 1001;
const int kGlExtensionsId = 1003;
const int kInfoTextId = 1004;
const int kWglExtensionsId = 1006;
const DWORD kTimeoutMs = 30000;

std::string WindowsPath(const char* unixPath)
{
    std::string path = std::string("Z:") + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct Search {
    DWORD processId;
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context)
{
    Search* search = reinterpret_cast<Search*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window))
        return TRUE;
    char text[64] = {};
    GetWindowTextA(window, text, sizeof(text));
    if (std::strcmp(text, search->caption) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

// Polls every millisecond for a visible top-level window of the process with
// this caption.
HWND WaitForCaption(DWORD processId, const char* caption, double deadline)
{
    Search search = {processId, caption, nullptr};
    for (;;) {
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr || Now() > deadline)
            return search.found;
        Sleep(1);
    }
}

bool Answers(HWND window)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kTimeoutMs, &result) != 0;
}

struct Process {
    PROCESS_INFORMATION info = {};
    HWND window = nullptr;

    bool Launch(const std::string& commandLine)
    {
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        std::string line = commandLine;
        return CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &info) != FALSE;
    }

    // Peak resident memory in bytes. Wine fills it from the Linux process's
    // VmHWM in /proc.
    double PeakResident() const
    {
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof(counters);
        if (!K32GetProcessMemoryInfo(info.hProcess, &counters, sizeof(counters)))
            return 0.0;
        return static_cast<double>(counters.PeakWorkingSetSize);
    }

    // The close box; the exit code, or STILL_ACTIVE when it had to be ended.
    DWORD Close()
    {
        if (info.hProcess == nullptr)
            return STILL_ACTIVE;
        if (window != nullptr)
            PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(info.hProcess, 10000) == WAIT_OBJECT_0) {
            GetExitCodeProcess(info.hProcess, &code);
        } else {
            TerminateProcess(info.hProcess, 99);
            WaitForSingleObject(info.hProcess, 5000);
        }
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
        info = PROCESS_INFORMATION();
        window = nullptr;
        return code;
    }

    ~Process() { Close(); }
};

LPARAM Position(int x, int y)
{
    return static_cast<LPARAM>(static_cast<DWORD>(static_cast<WORD>(x)) |
                               (static_cast<DWORD>(static_cast<WORD>(y)) << 16));
}

// glinspect from launch until the dialog shows its summary and both lists
// and the view has finished its first paint. NOTE: the paint is the last
// thing the thread does before it idles: the view's update region empties at
// BeginPaint, and a message sent after that is handled only once the paint
// handler has returned.
bool StartProgram(Process* program, double* milliseconds)
{
    const double start = Now();
    if (!program->Launch("\"" + WindowsPath(GLINSPECT_EXE) + "\""))
        return false;
    const double deadline = start + kTimeoutMs;
    program->window = WaitForCaption(program->info.dwProcessId, kDialogCaption, deadline);
    if (program->window == nullptr)
        return false;
    HWND dialog = program->window;
    HWND view = GetDlgItem(dialog, kViewId);
    for (;;) {
        char info[16] = {};
        GetWindowTextA(GetDlgItem(dialog, kInfoTextId), info, sizeof(info));
        const bool filled = std::strcmp(info, "Infos:") != 0 &&
                            SendMessageA(GetDlgItem(dialog, kGlExtensionsId), LB_GETCOUNT, 0, 0) > 0 &&
                            SendMessageA(GetDlgItem(dialog, kWglExtensionsId), LB_GETCOUNT, 0, 0) > 0;
        if (filled && !GetUpdateRect(view, nullptr, FALSE))
            break;
        if (Now() > deadline)
            return false;
        Sleep(1);
    }
    if (!Answers(view))
        return false;
    *milliseconds = Now() - start;
    return true;
}

// The floor from launch until its one frame is swapped.
bool StartFloor(Process* floor, int width, int height, const std::string& results,
                double* milliseconds)
{
    const double start = Now();
    char arguments[64];
    std::snprintf(arguments, sizeof(arguments), " %d %d ", width, height);
    if (!floor->Launch("\"" + WindowsPath(GLINSPECT_BENCH_FLOOR_EXE) + "\"" + arguments + results))
        return false;
    floor->window = WaitForCaption(floor->info.dwProcessId, "floor ready", start + kTimeoutMs);
    if (floor->window == nullptr || !Answers(floor->window))
        return false;
    *milliseconds = Now() - start;
    return true;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

// Drag steps sent to the view, each timed from the send until the answer,
// which comes after the step's repaint. The pointer goes to and fro so the
// cube keeps turning.
bool DragSteps(HWND view, int steps, std::vector<double>* times)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(view, WM_LBUTTONDOWN, MK_LBUTTON, Position(20, 20), SMTO_NORMAL,
                             kTimeoutMs, &result))
        return false;
    int x = 20;
    for (int step = 0; step < steps; ++step) {
        x += (step / 10) % 2 == 0 ? 2 : -2;
        const double before = Now();
        if (!SendMessageTimeoutA(view, WM_MOUSEMOVE, MK_LBUTTON, Position(x, 20 + step % 3),
                                 SMTO_NORMAL, kTimeoutMs, &result))
            return false;
        times->push_back(Now() - before);
    }
    return SendMessageTimeoutA(view, WM_LBUTTONUP, 0, Position(x, 20), SMTO_NORMAL, kTimeoutMs,
                               &result) != 0;
}

// The round trip of a message the view does not handle: what a drag step
// costs besides its frame.
double MessageRoundTrip(HWND view, int count)
{
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        const double before = Now();
        Answers(view);
        times.push_back(Now() - before);
    }
    return Median(times);
}

// The floor's timed frames, read from its results file.
bool FloorFrames(Process* floor, const std::string& results, int frames,
                 std::vector<double>* times)
{
    PostMessageA(floor->window, WM_APP, static_cast<WPARAM>(frames), 0);
    if (WaitForCaption(floor->info.dwProcessId, "floor done", Now() + kTimeoutMs) == nullptr)
        return false;
    FILE* file = std::fopen(results.c_str(), "r");
    if (file == nullptr)
        return false;
    unsigned long frequency = 0, ticks = 0;
    bool ok = std::fscanf(file, "%lu", &frequency) == 1 && frequency != 0;
    int read = 0;
    while (ok && std::fscanf(file, "%lu", &ticks) == 1) {
        times->push_back(static_cast<double>(ticks) * 1000.0 / static_cast<double>(frequency));
        ++read;
    }
    std::fclose(file);
    return ok && read == frames;
}

struct Series {
    std::vector<double> values;
    double Median() const { return ::Median(values); }
    double Min() const { return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end()); }
    double Max() const { return values.empty() ? 0.0 : *std::max_element(values.begin(), values.end()); }
};

std::string Format(const char* format, double a, double b = 0.0, double c = 0.0)
{
    char text[512];
    std::snprintf(text, sizeof(text), format, a, b, c);
    return text;
}

std::string Spread(const Series& series, const char* unit, int decimals)
{
    char format[64];
    std::snprintf(format, sizeof(format), "%%.%df %s (%%.%df-%%.%df)", decimals, unit, decimals,
                  decimals);
    return Format(format, series.Median(), series.Min(), series.Max());
}

struct Results {
    int repetitions = 0;
    int steps = 0;
    Series programStart, floorStart;
    Series programStep, floorFrame;
    Series programPeak, floorPeak;
    // Each repetition's glinspect figure over the floor's taken right after it.
    Series startRatio, stepRatio, bareStepRatio;
    Series roundTrip;
    double exeBytes = 0.0;
    int viewWidth = 0, viewHeight = 0;
};

std::string Table(const Results& r)
{
    const double memoryDifference = (r.programPeak.Median() - r.floorPeak.Median()) / (1024.0 * 1024.0);
    auto verdict = [](bool met) { return std::string(met ? "met" : "**missed**"); };
    Series programPeakMb, floorPeakMb;
    for (double v : r.programPeak.values)
        programPeakMb.values.push_back(v / (1024.0 * 1024.0));
    for (double v : r.floorPeak.values)
        floorPeakMb.values.push_back(v / (1024.0 * 1024.0));

    std::string table;
    table += "| measure | glinspect | floor | glinspect / floor | target | |\n";
    table += "|---|---|---|---|---|---|\n";
    table += "| start-up until the first frame | " + Spread(r.programStart, "ms", 0) + " | " +
             Spread(r.floorStart, "ms", 0) + " | " + Spread(r.startRatio, "x", 2) +
             " | within 1.3 x | " + verdict(r.startRatio.Median() <= 1.3) + " |\n";
    table += "| one drag step with its repaint | " + Spread(r.programStep, "ms", 2) + " | " +
             Spread(r.floorFrame, "ms", 2) + " | " + Spread(r.stepRatio, "x", 2) +
             " | within 1.2 x | " + verdict(r.stepRatio.Median() <= 1.2) + " |\n";
    table += "| the same less one message round trip | " +
             Format("%.2f ms", r.programStep.Median() - r.roundTrip.Median()) + " | " +
             Format("%.2f ms", r.floorFrame.Median()) + " | " + Spread(r.bareStepRatio, "x", 2) +
             " | for comparison | |\n";
    table += "| exe size | " + Format("%.0f bytes (%.1f KB)", r.exeBytes, r.exeBytes / 1024.0) +
             " | | | under 64 KB | " + verdict(r.exeBytes < 64.0 * 1024.0) + " |\n";
    table += "| peak resident memory | " + Spread(programPeakMb, "MB", 1) + " | " +
             Spread(floorPeakMb, "MB", 1) + " | " + Format("%+.1f MB", memoryDifference) +
             " | within 2 MB | " + verdict(memoryDifference <= 2.0) + " |\n";
    table += "\n";
    table += Format("Medians with the lowest and highest of %.0f repetitions in brackets, ",
                    r.repetitions);
    table += Format("each on a fresh process under one warm wineserver; a drag step is the median "
                    "of %.0f steps sent with SendMessage from another process, the floor's frame "
                    "the median of as many frames timed inside the floor. ", r.steps);
    table += Format("The view is %.0f x %.0f pixels. ", r.viewWidth, r.viewHeight);
    table += "Ratios are each repetition's figure over the floor's, taken right after it. ";
    table += Format("A message the view does not handle takes %.3f ms there and back. ",
                    r.roundTrip.Median());
    table += "Peak memory is PeakWorkingSetSize from K32GetProcessMemoryInfo, which Wine reads "
             "from the process's VmHWM.\n";
    return table;
}

bool Run(bool shortMode, Results* r)
{
    r->repetitions = shortMode ? 2 : 7;
    r->steps = shortMode ? 20 : 200;
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    const std::string floorResults = std::string(temp) + "glinspect-bench-floor.txt";

    WIN32_FILE_ATTRIBUTE_DATA attributes = {};
    if (!GetFileAttributesExA(WindowsPath(GLINSPECT_EXE).c_str(), GetFileExInfoStandard, &attributes))
        return false;
    r->exeBytes = attributes.nFileSizeLow;

    // A first start of each, not counted: it fills the file cache and the
    // wineserver's state.
    {
        Process program;
        double ms = 0.0;
        if (!StartProgram(&program, &ms)) {
            std::fprintf(stderr, "glinspect did not come up\n");
            return false;
        }
        RECT client = {};
        GetClientRect(GetDlgItem(program.window, kViewId), &client);
        r->viewWidth = client.right;
        r->viewHeight = client.bottom;
        if (program.Close() != 0) {
            std::fprintf(stderr, "glinspect did not exit with 0\n");
            return false;
        }
        Process floor;
        if (!StartFloor(&floor, r->viewWidth, r->viewHeight, floorResults, &ms)) {
            std::fprintf(stderr, "the floor did not come up\n");
            return false;
        }
    }

    for (int rep = 0; rep < r->repetitions; ++rep) {
        Process program;
        double ms = 0.0;
        std::vector<double> steps;
        if (!StartProgram(&program, &ms)) {
            std::fprintf(stderr, "glinspect did not come up\n");
            return false;
        }
        const double roundTrip = MessageRoundTrip(GetDlgItem(program.window, kViewId), 50);
        if (!DragSteps(GetDlgItem(program.window, kViewId), r->steps, &steps)) {
            std::fprintf(stderr, "glinspect did not answer a drag step\n");
            return false;
        }
        r->programStart.values.push_back(ms);
        r->programStep.values.push_back(Median(steps));
        r->programPeak.values.push_back(program.PeakResident());
        if (program.Close() != 0) {
            std::fprintf(stderr, "glinspect did not exit with 0\n");
            return false;
        }

        Process floor;
        std::vector<double> frames;
        if (!StartFloor(&floor, r->viewWidth, r->viewHeight, floorResults, &ms) ||
            !FloorFrames(&floor, floorResults, r->steps, &frames)) {
            std::fprintf(stderr, "the floor did not come up or did not answer\n");
            return false;
        }
        r->floorStart.values.push_back(ms);
        r->floorFrame.values.push_back(Median(frames));
        r->floorPeak.values.push_back(floor.PeakResident());
        r->roundTrip.values.push_back(roundTrip);
        r->startRatio.values.push_back(r->programStart.values.back() / ms);
        r->stepRatio.values.push_back(r->programStep.values.back() / r->floorFrame.values.back());
        r->bareStepRatio.values.push_back((r->programStep.values.back() - roundTrip) /
                                          r->floorFrame.values.back());
        floor.Close();
        std::fprintf(stderr, "repetition %d: start-up %.0f / %.0f ms, step %.2f / %.2f ms\n",
                     rep + 1, r->programStart.values.back(), r->floorStart.values.back(),
                     r->programStep.values.back(), r->floorFrame.values.back());
    }
    DeleteFileA(floorResults.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    bool shortMode = false;
    const char* reportPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--short") == 0)
            shortMode = true;
        else
            reportPath = argv[i];
    }
    Results results;
    if (!Run(shortMode, &results))
        return 1;
    const std::string table = Table(results);
    std::fputs(table.c_str(), stdout);
    if (reportPath != nullptr) {
        FILE* report = std::fopen(reportPath, "wb");
        if (report == nullptr)
            return 1;
        std::fputs(table.c_str(), report);
        std::fclose(report);
    }
    return 0;
}
