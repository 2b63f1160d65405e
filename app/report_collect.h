// Gathers the report from the controls that show it, so the text says
// exactly what the dialog shows, and from the context and the driver table.
#pragma once

#include "platform/windows_headers.h"
#include "report/report_document.h"

struct ReportControls {
    HWND infoText;
    HWND glExtensionList;
    HWND wglExtensionList;
    HWND driverList;
};

// Owns the copies of the controls' texts that a ReportData points into.
class CollectedReport {
public:
    CollectedReport() = default;
    ~CollectedReport();
    CollectedReport(const CollectedReport&) = delete;
    CollectedReport& operator=(const CollectedReport&) = delete;

    // Needs the rendering context current. False when memory ran out.
    bool Collect(const ReportControls& controls);
    const ReportData& Data() const { return data_; }

private:
    struct OwnedLines {
        char** lines = nullptr;
        int count = 0;
    };
    static bool ReadList(HWND list, OwnedLines& owned);
    static void FreeLines(OwnedLines& owned);

    OwnedLines glLines_, wglLines_, driverLines_;
    char* summary_ = nullptr;
    char driverKey_[160] = {};
    const char* valueNames_[4] = {};
    const char* dllNames_[4] = {};
    ReportData data_ = {};
};
