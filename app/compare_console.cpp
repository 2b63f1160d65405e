#include "app/compare_console.h"

#include "app/report_console.h"
#include "compare/report_compare.h"
#include "compare/report_reader.h"

namespace {

int Refuse(const TextBuffer& reason)
{
    TextBuffer message;
    message.Append("glinspect-report: ");
    message.Append(reason.Ok() ? reason.Text() : "out of memory");
    message.Append("\r\n");
    WriteStd(STD_ERROR_HANDLE, message.Text(), message.Length());
    return 2;
}

}  // namespace

int PrintComparison(const char* before, const char* after, bool json)
{
    JsonDocument older;
    JsonDocument newer;
    TextBuffer error;
    if (!ReadReportFile(before, older, error) || !ReadReportFile(after, newer, error))
        return Refuse(error);
    TextBuffer out;
    const long differences = CompareReports(older, newer, json, out);
    if (differences < 0) {
        error.Append("out of memory while comparing the reports");
        return Refuse(error);
    }
    WriteStd(STD_OUTPUT_HANDLE, out.Text(), out.Length());
    return differences > 0 ? 1 : 0;
}
