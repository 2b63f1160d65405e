// The entry points as text and as JSON: only the companion writes them, so
// they are a file of their own that the dialog's program does not link.
#include "document/report_document.h"

namespace {

// ,"name":N
void AppendJsonNumber(TextBuffer& out, const char* name, long value)
{
    out.AppendChar(',');
    AppendJsonString(out, name);
    out.AppendChar(':');
    out.AppendNumber(value);
}

// "version":"V","checked":C,"found":F
void AppendJsonCounts(TextBuffer& out, const char* version, int checked, int found)
{
    AppendJsonString(out, "version");
    out.AppendChar(':');
    AppendJsonString(out, version);
    AppendJsonNumber(out, "checked", checked);
    AppendJsonNumber(out, "found", found);
}

}  // namespace

void WriteEntryPointLine(const ReportData& report, TextBuffer& out)
{
    const EntryPointFacts* facts = report.entryPoints;
    if (facts == nullptr)
        return;
    out.Append("Entry points: ");
    out.Append(facts->version);
    out.AppendChar(' ');
    out.AppendNumber(facts->found);
    out.Append(" of ");
    out.AppendNumber(facts->checked);
    if (facts->coreVersion != nullptr) {
        out.Append(", core ");
        out.Append(facts->coreVersion);
        out.AppendChar(' ');
        out.AppendNumber(facts->coreFound);
        out.Append(" of ");
        out.AppendNumber(facts->coreChecked);
    }
    out.Append("; extensions ");
    out.AppendNumber(facts->extensionFound);
    out.Append(" of ");
    out.AppendNumber(facts->extensionCommands);
    out.Append(" in ");
    out.AppendNumber(facts->extensions);
    out.Append(" extensions");
    if (facts->unknownExtensions > 0) {
        out.Append("; ");
        out.AppendNumber(facts->unknownExtensions);
        out.Append(facts->unknownExtensions == 1 ? " extension" : " extensions");
        out.Append(" the registry does not list");
    }
    if (facts->missingCount > 0) {
        out.Append("; ");
        out.AppendNumber(facts->missingCount);
        out.Append(" missing");
    }
    out.Append("\r\n");
}

void WriteMissingEntryPoints(const ReportData& report, TextBuffer& out)
{
    const EntryPointFacts* facts = report.entryPoints;
    if (facts == nullptr)
        return;
    AppendHeading(out, "Missing entry points", facts->missingCount);
    for (int i = 0; i < facts->missingCount; ++i) {
        const MissingEntryPoint& missing = facts->missing[i];
        out.Append("  ");
        out.Append(missing.of);
        out.AppendChar(' ');
        out.Append(missing.command);
        if (missing.answer != 0) {
            out.Append(" (answered ");
            out.AppendNumber(missing.answer);
            out.AppendChar(')');
        }
        out.Append("\r\n");
    }
}

void WriteEntryPointsJson(const ReportData& report, TextBuffer& out)
{
    const EntryPointFacts* facts = report.entryPoints;
    if (facts == nullptr)
        return;
    out.Append(",\"entryPoints\":{");
    AppendJsonCounts(out, facts->version, facts->checked, facts->found);
    out.Append(",\"core\":");
    if (facts->coreVersion == nullptr) {
        out.Append("null");
    } else {
        out.AppendChar('{');
        AppendJsonCounts(out, facts->coreVersion, facts->coreChecked, facts->coreFound);
        out.AppendChar('}');
    }
    AppendJsonNumber(out, "extensions", facts->extensions);
    AppendJsonNumber(out, "extensionCommands", facts->extensionCommands);
    AppendJsonNumber(out, "extensionFound", facts->extensionFound);
    AppendJsonNumber(out, "unknownExtensions", facts->unknownExtensions);
    out.Append(",\"missing\":[");
    for (int i = 0; i < facts->missingCount; ++i) {
        const MissingEntryPoint& missing = facts->missing[i];
        out.Append(i == 0 ? "{\"of\":" : ",{\"of\":");
        AppendJsonString(out, missing.of);
        out.Append(",\"command\":");
        AppendJsonString(out, missing.command);
        out.Append(",\"answer\":");
        if (missing.answer == 0)
            out.Append("null");
        else
            out.AppendNumber(missing.answer);
        out.AppendChar('}');
    }
    out.Append("]}");
}
