#include "document/advice.h"

namespace {

bool SameIgnoringCase(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        char x = *a >= 'A' && *a <= 'Z' ? static_cast<char>(*a - 'A' + 'a') : *a;
        char y = *b >= 'A' && *b <= 'Z' ? static_cast<char>(*b - 'A' + 'a') : *b;
        if (x != y)
            return false;
        if (x == '\0')
            return true;
    }
}

bool IsDisabled(const char* valueName)
{
    return valueName != nullptr && valueName[0] == '~';
}

bool IsEmpty(const char* text)
{
    return text == nullptr || text[0] == '\0';
}

const char* RowText(const LineList& list, int row)
{
    return row < list.count && list.lines[row] != nullptr ? list.lines[row] : "";
}

// Collects names, skipping empty ones and those it has.
struct NameSet {
    const char** names;
    int capacity;
    int count;

    void Add(const char* name)
    {
        if (IsEmpty(name) || count >= capacity)
            return;
        for (int i = 0; i < count; ++i) {
            if (SameIgnoringCase(names[i], name))
                return;
        }
        names[count++] = name;
    }
};

const DllPresence* FindPresence(const ReportData& report, const char* name)
{
    for (int i = 0; i < report.dllPresenceCount; ++i) {
        if (SameIgnoringCase(report.dllPresence[i].name, name))
            return &report.dllPresence[i];
    }
    return nullptr;
}

// The advice lines, each ended by a NUL, as they are given.
class AdviceLines {
public:
    explicit AdviceLines(TextBuffer& text) : text_(text) {}

    void Add(const char* a, const char* b = nullptr, const char* c = nullptr, const char* d = nullptr)
    {
        if (count_ >= kMaxAdviceLines)
            return;
        text_.Append(a);
        text_.Append(b);
        text_.Append(c);
        text_.Append(d);
        text_.AppendChar('\0');
        ++count_;
    }
    int Count() const { return count_; }

private:
    TextBuffer& text_;
    int count_ = 0;
};

// The advice for the system's software renderer, which draws when no vendor
// driver takes the display.
void AdviseOnSoftwareFallback(const ReportData& report, AdviceLines& lines)
{
    // The rows are values of one key, whose names differ.
    const int rows = report.driverValueNames.count;
    for (int row = 1; row < rows; ++row) {
        const char* name = RowText(report.driverValueNames, row);
        if (IsDisabled(name))
            lines.Add("the driver ", name + 1,
                      " is disabled: pick its line in the list to enable it, then start the program again");
    }
    if (rows <= 1 && report.subkeyDriverCount <= 0 && report.displayAdapterCount <= 0)
        lines.Add("no OpenGL driver from a display adapter's maker is registered: install the adapter's own driver");
    for (int i = 0; i < report.displayAdapterCount; ++i) {
        const DisplayAdapter& adapter = report.displayAdapters[i];
        if (LacksThirtyTwoBitDriver(report, adapter))
            lines.Add(IsEmpty(adapter.description) ? "a display adapter" : adapter.description,
                      " registers only the 64-bit OpenGL driver ", adapter.name,
                      " and no 32-bit one, so 32-bit programs draw in software: install the "
                      "adapter maker's full driver package, which brings the 32-bit driver");
    }

    const char* names[kMaxEnabledDlls];
    const int nameCount = EnabledDllNames(report, names, kMaxEnabledDlls);
    const char* loaded = nullptr;
    for (int i = 0; i < nameCount; ++i) {
        const DllPresence* presence = FindPresence(report, names[i]);
        if (presence == nullptr)
            continue;
        if (presence->loaded) {
            if (loaded == nullptr)
                loaded = names[i];
            continue;
        }
        lines.Add(names[i],
                  presence->found ? " is registered and present, but Windows did not load it for this display"
                                  : " is registered but not found",
                  ": reinstall the display driver");
    }
    // The driver took the display, but none of its formats matched the view's
    // request, and Windows' own renderer's did.
    if (loaded != nullptr)
        lines.Add(loaded,
                  " is loaded, but none of its pixel formats matched the view's request, so Windows' own "
                  "renderer draws: set the display to 32-bit colour, or update the display driver");
}

void BuildAdvice(const ReportData& report, AdviceLines& lines)
{
    if (report.verdict.level == AccelerationLevel::kFull)
        return;
    if (report.remoteSession) {
        lines.Add("this is a Remote Desktop session, where Windows often draws OpenGL in software: "
                  "run glinspect at the computer itself to see its own driver");
        return;
    }
    if (report.verdict.level != AccelerationLevel::kNone)
        return;
    if (!report.verdict.namesRenderer) {
        AdviseOnSoftwareFallback(report, lines);
    } else if (report.system != nullptr && report.system->wineVersion != nullptr) {
        lines.Add("under Wine, OpenGL is the host's: install or enable the host's GPU driver to leave ",
                  report.renderer);
    } else {
        lines.Add(report.renderer,
                  " is a software renderer installed as the OpenGL driver: install the display adapter's own driver");
    }
}

// What the render check found wrong: a driver's fault at any acceleration,
// and in a Remote Desktop session too. At most one line.
void AdviseOnRenderCheck(const ReportData& report, AdviceLines& lines)
{
    const RenderCheckFacts* check = report.renderCheck;
    if (check == nullptr)
        return;
    // The empty picture's comparison, ending with what every wrong picture
    // needs: the wrong one's line takes only that end.
    static const char kTail[] = "; to compare, pick the software line; update the display driver";
    static const char kUpdate[] = "; update the display driver";
    const char* said = check->reason[0] != '\0' ? ": " : "";
    if (check->result == kRenderNotDrawn) {
        lines.Add("the driver drew nothing of the test picture", said, check->reason, kTail);
    } else if (check->result == kRenderDrawnWrong) {
        lines.Add("the driver drew the test picture wrong", said, check->reason,
                  kTail + sizeof kTail - sizeof kUpdate);
    } else if (check->result == kRenderDrawn && check->screen == kScreenNotShown) {
        lines.Add(report.system != nullptr && report.system->wineVersion != nullptr
                      ? "this Wine shows no OpenGL in child windows, so the test picture never reaches the "
                        "screen: a newer Wine shows it"
                      : "the test picture does not reach the screen: update the display driver, or turn off "
                        "the desktop's visual effects");
    }
}

}  // namespace

bool LacksThirtyTwoBitDriver(const ReportData& report, const DisplayAdapter& adapter)
{
    return report.system != nullptr && report.system->is64BitWindows && IsEmpty(adapter.wowName);
}

int EnabledDllNames(const ReportData& report, const char** names, int capacity)
{
    NameSet set = {names, capacity, 0};
    for (int row = 1; row < report.driverValueNames.count; ++row) {
        if (!IsDisabled(RowText(report.driverValueNames, row)))
            set.Add(RowText(report.driverDllNames, row));
    }
    for (int i = 0; i < report.subkeyDriverCount; ++i)
        set.Add(report.subkeyDrivers[i].dll);
    const bool wow = report.system != nullptr && report.system->is64BitWindows;
    for (int i = 0; i < report.displayAdapterCount; ++i) {
        const DisplayAdapter& adapter = report.displayAdapters[i];
        set.Add(wow ? adapter.wowName : adapter.name);
    }
    return set.count;
}

bool ConcludeReport(ReportData& report, ReportConclusion& conclusion)
{
    report.verdict = JudgeAcceleration(report.formatDescribed, report.formatFlags, report.renderer);
    AdviceLines lines(conclusion.text);
    BuildAdvice(report, lines);
    AdviseOnRenderCheck(report, lines);
    const char* line = conclusion.text.Text();
    for (int i = 0; i < lines.Count(); ++i) {
        conclusion.lines[i] = line;
        while (*line != '\0')
            ++line;
        ++line;
    }
    report.advice = LineList{conclusion.lines, conclusion.text.Ok() ? lines.Count() : 0};
    return conclusion.text.Ok();
}
