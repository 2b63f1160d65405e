// A report made by hand, with its verdict and advice worked out as the
// programs' gathering leaves them, for the writers' tests.
#pragma once

#include <cstring>

#include "document/advice.h"

struct ConcludedReport {
    explicit ConcludedReport(const ReportData& facts) : data(facts) { ConcludeReport(data, conclusion); }
    ConcludedReport(const ConcludedReport&) = delete;
    ConcludedReport& operator=(const ConcludedReport&) = delete;

    ReportData data;
    ReportConclusion conclusion;
};

// A render check that found the view's picture drawn and shown, for the tests to vary.
inline const RenderCheckFacts kDrawnAndShown = {
    kRenderDrawn, "", 111, 127, 4, 45, -30.25, true, {8000, 2381, 1754, 1820, 142}, 2390, 1760, 1811, 1,
    kTargetWindow, kScreenShown, "", true, {8010, 2380, 1750, 1815, 142}};

// A render check of result and reason whose picture was not read.
inline RenderCheckFacts Unread(RenderResult result, const char* reason)
{
    RenderCheckFacts check = {};
    check.result = result;
    std::strcpy(check.reason, reason);
    check.edgesBlended = -1;
    return check;
}
