// The facts a report carries beyond the dialog's controls, gathered when a
// report is made: from the view's context, the driver table, the registry,
// the modules loaded in the process, and the system and its screen. Both
// programs hand them to report/.
#pragma once

#include "platform/fact_pool.h"
#include "report/gl_limits.h"
#include "report/report_document.h"

class ReportFacts {
public:
    ReportFacts() = default;
    ReportFacts(const ReportFacts&) = delete;
    ReportFacts& operator=(const ReportFacts&) = delete;

    // Needs the view's context current and leaves it current. False when
    // memory ran out.
    bool Gather();
    // Sets the deeper facts of data; they point into this object. The
    // pixel-format table is the companion's own.
    void HandTo(ReportData& data) const;

private:
    void CheckEnabledDlls();

    FactPool pool_;
    FactArray<DriverDll> driverDlls_;
    FactArray<SubkeyDriver> subkeyDrivers_;
    FactArray<DisplayAdapter> displayAdapters_;
    FactArray<DllPresence> dllPresence_;
    SystemFacts system_ = {};
    DisplayFacts display_ = {};
    bool displayKnown_ = false;
    bool remoteSession_ = false;
    LimitValue limits_[kLimitCount] = {};
    int limitCount_ = 0;
    bool formatDescribed_ = false;
    unsigned long formatFlags_ = 0;
    const char* shadingLanguage_ = nullptr;
    const char* coreProfile_ = nullptr;
    unsigned long glExtensionBytes_ = 0;
    unsigned long wglExtensionBytes_ = 0;
};
