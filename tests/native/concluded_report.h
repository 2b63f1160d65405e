// A report made by hand, with its verdict and advice worked out as the
// programs' gathering leaves them, for the writers' tests.
#pragma once

#include "document/advice.h"

struct ConcludedReport {
    explicit ConcludedReport(const ReportData& facts) : data(facts) { ConcludeReport(data, conclusion); }
    ConcludedReport(const ConcludedReport&) = delete;
    ConcludedReport& operator=(const ConcludedReport&) = delete;

    ReportData data;
    ReportConclusion conclusion;
};
