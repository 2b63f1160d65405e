// Fuzzes the report reader and the comparison: whatever the bytes, a refusal
// says why; a report read agrees with itself and reads back the same once
// written out; two reports read give the same number of differences as text
// and as JSON, and the JSON is JSON with one item per difference.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "compare/report_compare.h"
#include "compare/report_reader.h"

namespace {

bool Read(const char* text, std::size_t length, JsonDocument& report)
{
    TextBuffer error;
    const bool read = ReadReportText("fuzz.json", text, length, report, error);
    if (!read && std::strncmp(error.Text(), "fuzz.json: ", 11) != 0)
        std::abort();
    return read;
}

void CheckAlone(const JsonDocument& report)
{
    TextBuffer same;
    if (CompareReports(report, report, false, same) != 0 || same.Length() != 0)
        std::abort();
    TextBuffer written;
    AppendJsonValue(written, report, 0);
    JsonDocument again;
    if (!Read(written.Text(), written.Length(), again) || CompareJsonValues(report, 0, again, 0) != 0)
        std::abort();
}

void CheckPair(const JsonDocument& before, const JsonDocument& after)
{
    TextBuffer text, json, back;
    const long count = CompareReports(before, after, false, text);
    if (count < 0 || CompareReports(before, after, true, json) != count ||
        (count == 0) != (text.Length() == 0))
        std::abort();
    if ((CompareReports(after, before, false, back) == 0) != (count == 0))
        std::abort();
    JsonDocument differences;
    JsonError error;
    if (!differences.Load(json.Text(), json.Length(), error)) {
        // The differences hold values as deep as the reports' own, three levels down.
        if (std::strncmp(error.message.Text(), "nested", 6) != 0)
            std::abort();
        return;
    }
    const int list = differences.Find(0, "differences");
    if (list < 0 || differences.Count(list) != count)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The first byte picks where the older report ends and the newer begins.
    if (size == 0)
        return 0;
    const std::size_t split = 1 + data[0] % size;
    const char* text = reinterpret_cast<const char*>(data);
    JsonDocument before, after;
    const bool readBefore = Read(text + 1, split - 1, before);
    const bool readAfter = Read(text + split, size - split, after);
    if (readBefore)
        CheckAlone(before);
    if (readBefore && readAfter)
        CheckPair(before, after);
    return 0;
}
