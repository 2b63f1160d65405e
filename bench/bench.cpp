// Measures what a user of glinspect feels, each figure side by side with a
// floor taken in the same run: start-up until the cube is first drawn, one
// drag step of the view, the exe's size, and the peak resident memory. The
// floor program (floor.cpp) is started, waited for and dragged exactly as
// glinspect is, from this second process; the two alternate within one run.
//
//   glinspect_bench.exe [--short] [REPORT]
//
// Prints a Markdown table and writes it to REPORT too. --short takes fewer
// repetitions and steps, to prove the benchmark still runs. Exit status 0
// when every measurement was taken (whether or not it met its target), 1
// when a program did not come up or did not answer.
#include <windows.h>
#include <psapi.h>

#include "app_driver.h"

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

// Polls every millisecond for a visible top-level window of the process with
// this caption.
HWND WaitForCaption(DWORD processId, const char* caption, double deadline)
{
    for (;;) {
        HWND found = FindProcessWindow(processId, caption, nullptr);
        if (found != nullptr || Now() > deadline)
            return found;
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

// Until the view has finished its first paint. NOTE: the paint is the last
// thing the thread does before it idles: the view's update region empties at
// BeginPaint, and a message sent after that is handled only once the paint
// handler has returned.
bool WaitForFirstFrame(HWND view, double deadline)
{
    while (GetUpdateRect(view, nullptr, FALSE)) {
        if (Now() > deadline)
            return false;
        Sleep(1);
    }
    return Answers(view);
}

// glinspect from launch until the dialog shows its summary and both lists
// and the view has finished its first paint.
bool StartProgram(Process* program, double* milliseconds)
{
    const double start = Now();
    if (!program->Launch("\"" + AppExePath() + "\""))
        return false;
    const double deadline = start + kTimeoutMs;
    program->window = WaitForCaption(program->info.dwProcessId, kDialogCaption, deadline);
    if (program->window == nullptr)
        return false;
    HWND dialog = program->window;
    for (;;) {
        char info[16] = {};
        GetWindowTextA(GetDlgItem(dialog, kInfoTextId), info, sizeof(info));
        if (std::strcmp(info, "Infos:") != 0 &&
            SendMessageA(GetDlgItem(dialog, kGlExtensionsId), LB_GETCOUNT, 0, 0) > 0 &&
            SendMessageA(GetDlgItem(dialog, kWglExtensionsId), LB_GETCOUNT, 0, 0) > 0)
            break;
        if (Now() > deadline)
            return false;
        Sleep(1);
    }
    if (!WaitForFirstFrame(GetDlgItem(dialog, kViewId), deadline))
        return false;
    *milliseconds = Now() - start;
    return true;
}

// The floor from launch until its window shows and its view has finished
// its first paint, waited for as glinspect's is.
bool StartFloor(Process* floor, int width, int height, const std::string& results,
                double* milliseconds)
{
    const double start = Now();
    char arguments[64];
    std::snprintf(arguments, sizeof(arguments), " %d %d ", width, height);
    if (!floor->Launch("\"" + WindowsPath(GLINSPECT_BENCH_FLOOR_EXE) + "\"" + arguments + results))
        return false;
    const double deadline = start + kTimeoutMs;
    floor->window = WaitForCaption(floor->info.dwProcessId, "floor", deadline);
    if (floor->window == nullptr || !WaitForFirstFrame(GetDlgItem(floor->window, kViewId), deadline))
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

// One drag on each of two views at once, step by step in turn, each step
// timed from the send until the answer, which comes after the step's
// repaint: both programs see the same load at the same moments. The pointer
// goes to and fro so the cubes keep turning.
bool DragBoth(HWND first, HWND second, int steps, std::vector<double>* firstTimes,
              std::vector<double>* secondTimes)
{
    const HWND views[2] = {first, second};
    std::vector<double>* const times[2] = {firstTimes, secondTimes};
    DWORD_PTR result = 0;
    for (HWND view : views)
        if (!SendMessageTimeoutA(view, WM_LBUTTONDOWN, MK_LBUTTON, Position(20, 20), SMTO_NORMAL,
                                 kTimeoutMs, &result))
            return false;
    int x = 20;
    for (int step = 0; step < steps; ++step) {
        x += (step / 10) % 2 == 0 ? 2 : -2;
        for (int i = 0; i < 2; ++i) {
            const double before = Now();
            if (!SendMessageTimeoutA(views[i], WM_MOUSEMOVE, MK_LBUTTON, Position(x, 20 + step % 3),
                                     SMTO_NORMAL, kTimeoutMs, &result))
                return false;
            times[i]->push_back(Now() - before);
        }
    }
    for (HWND view : views)
        if (!SendMessageTimeoutA(view, WM_LBUTTONUP, 0, Position(x, 20), SMTO_NORMAL, kTimeoutMs,
                                 &result))
            return false;
    return true;
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
    int startsPerRepetition = 0;
    Series programStart, floorStart;
    Series programStep, floorStep, floorFrame;
    Series programPeak, floorPeak;
    // Each repetition's glinspect figure over the floor's from the same
    // repetition.
    Series startRatio, stepRatio, frameRatio;
    Series roundTrip;
    double exeBytes = 0.0;
    int viewWidth = 0, viewHeight = 0;
};

const double kStartTarget = 1.1;
const double kStepTarget = 1.1;

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
             Format(" | within %.1f x | ", kStartTarget) +
             verdict(r.startRatio.Median() <= kStartTarget) + " |\n";
    table += "| one drag step with its repaint, sent from another process | " +
             Spread(r.programStep, "ms", 2) + " | " + Spread(r.floorStep, "ms", 2) + " | " +
             Spread(r.stepRatio, "x", 2) + Format(" | within %.1f x | ", kStepTarget) +
             verdict(r.stepRatio.Median() <= kStepTarget) + " |\n";
    table += "| the floor's frame drawn inside its own process | | " +
             Spread(r.floorFrame, "ms", 2) + " | " + Spread(r.frameRatio, "x", 2) +
             " | for reference | |\n";
    table += "| exe size | " + Format("%.0f bytes (%.1f KB)", r.exeBytes, r.exeBytes / 1024.0) +
             " | | | under 64 KB | " + verdict(r.exeBytes < 64.0 * 1024.0) + " |\n";
    table += "| peak resident memory | " + Spread(programPeakMb, "MB", 1) + " | " +
             Spread(floorPeakMb, "MB", 1) + " | " + Format("%+.1f MB", memoryDifference) +
             " | within 2 MB | " + verdict(memoryDifference <= 2.0) + " |\n";
    table += "\n";
    table += Format("Medians with the lowest and highest of %.0f repetitions in brackets, ",
                    r.repetitions);
    table += "each on fresh processes under one warm wineserver. ";
    table += r.startsPerRepetition > 1
                 ? Format("A repetition starts glinspect and the floor one after the other %.0f "
                          "times, the one to go first alternating; its start-up figures are the "
                          "medians, its ratio the median of each pair's. ",
                          r.startsPerRepetition)
                 : std::string("A repetition starts glinspect and the floor one after the other, "
                               "the one to go first alternating from one to the next. ");
    table += Format("A drag step is the median of %.0f WM_MOUSEMOVE messages of a drag sent with "
                    "SendMessage from the benchmark's own process to each program's view in turn, "
                    "one step to glinspect, one to the floor; each view captures the mouse, "
                    "invalidates and updates at once and draws in WM_PAINT. The reference line "
                    "times as many frames drawn and swapped by the floor inside its process, "
                    "which no message reaches. ", r.steps);
    table += Format("The view is %.0f x %.0f pixels. ", r.viewWidth, r.viewHeight);
    table += Format("A message the view does not handle takes %.3f ms there and back. ",
                    r.roundTrip.Median());
    table += "Peak memory is PeakWorkingSetSize from K32GetProcessMemoryInfo, which Wine reads "
             "from the process's VmHWM.\n";
    return table;
}

// Starts both programs one after the other, programFirst saying which goes
// first, and gives each one's start-up time.
bool StartBoth(bool programFirst, const std::string& floorResults, const Results& r,
               Process* program, Process* floor, double* programMs, double* floorMs)
{
    for (int turn = 0; turn < 2; ++turn) {
        if ((turn == 0) == programFirst) {
            if (!StartProgram(program, programMs)) {
                std::fprintf(stderr, "glinspect did not come up\n");
                return false;
            }
        } else if (!StartFloor(floor, r.viewWidth, r.viewHeight, floorResults, floorMs)) {
            std::fprintf(stderr, "the floor did not come up\n");
            return false;
        }
    }
    return true;
}

// One repetition: both programs started in turn a few times (which goes first
// alternates; the start-up figures are the medians), the last pair's views
// dragged in turn, the floor's frames drawn inside it, both closed.
bool Repetition(bool programFirst, const std::string& floorResults, Results* r)
{
    Process program, floor;
    std::vector<double> programStarts, floorStarts, startRatios;
    for (int start = 0; start < r->startsPerRepetition; ++start) {
        double programMs = 0.0, floorMs = 0.0;
        if (start > 0) {
            floor.Close();
            if (program.Close() != 0) {
                std::fprintf(stderr, "glinspect did not exit with 0\n");
                return false;
            }
        }
        if (!StartBoth(programFirst == (start % 2 == 0), floorResults, *r, &program, &floor,
                       &programMs, &floorMs))
            return false;
        programStarts.push_back(programMs);
        floorStarts.push_back(floorMs);
        startRatios.push_back(programMs / floorMs);
    }
    HWND programView = GetDlgItem(program.window, kViewId);
    HWND floorView = GetDlgItem(floor.window, kViewId);
    const double roundTrip = MessageRoundTrip(programView, 50);
    std::vector<double> programSteps, floorSteps, frames;
    const bool dragged = programFirst
                             ? DragBoth(programView, floorView, r->steps, &programSteps, &floorSteps)
                             : DragBoth(floorView, programView, r->steps, &floorSteps, &programSteps);
    if (!dragged) {
        std::fprintf(stderr, "a view did not answer a drag step\n");
        return false;
    }
    if (!FloorFrames(&floor, floorResults, r->steps, &frames)) {
        std::fprintf(stderr, "the floor did not draw its frames\n");
        return false;
    }
    r->programStart.values.push_back(Median(programStarts));
    r->floorStart.values.push_back(Median(floorStarts));
    r->startRatio.values.push_back(Median(startRatios));
    r->programStep.values.push_back(Median(programSteps));
    r->floorStep.values.push_back(Median(floorSteps));
    r->floorFrame.values.push_back(Median(frames));
    r->roundTrip.values.push_back(roundTrip);
    r->programPeak.values.push_back(program.PeakResident());
    r->floorPeak.values.push_back(floor.PeakResident());
    floor.Close();
    if (program.Close() != 0) {
        std::fprintf(stderr, "glinspect did not exit with 0\n");
        return false;
    }
    return true;
}

bool Run(bool shortMode, Results* r)
{
    r->repetitions = shortMode ? 2 : 7;
    r->steps = shortMode ? 20 : 200;
    r->startsPerRepetition = shortMode ? 1 : 3;
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    const std::string floorResults = std::string(temp) + "glinspect-bench-floor.txt";

    WIN32_FILE_ATTRIBUTE_DATA attributes = {};
    if (!GetFileAttributesExA(AppExePath().c_str(), GetFileExInfoStandard, &attributes))
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
        // Which starts first and steps first alternates: neither always follows.
        if (!Repetition(rep % 2 == 0, floorResults, r))
            return false;
        r->stepRatio.values.push_back(r->programStep.values.back() / r->floorStep.values.back());
        r->frameRatio.values.push_back(r->programStep.values.back() / r->floorFrame.values.back());
        std::fprintf(stderr,
                     "repetition %d: start-up %.0f / %.0f ms, step %.2f / %.2f ms "
                     "(frame inside the floor %.2f ms)\n",
                     rep + 1, r->programStart.values.back(), r->floorStart.values.back(),
                     r->programStep.values.back(), r->floorStep.values.back(),
                     r->floorFrame.values.back());
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
