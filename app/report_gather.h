// Every fact of a report, read once when a report is made: from the controls
// that show the summary and the lists (the dialog's, or the companion's
// hidden ones, so that the text says exactly what the dialog shows), from
// the view's context, the driver table, the registry, the modules loaded in
// the process, and the system and its screen; then what they come to, the
// verdict and the advice. Both programs hand the finished facts to the
// writers of document/.
#pragma once

#include "document/advice.h"
#include "document/report_document.h"
#include "drivers/driver_registrations.h"
#include "platform/entry_points.h"
#include "platform/fact_pool.h"
#include "platform/gl_limits.h"
#include "platform/windows_headers.h"

// The controls a report reads.
struct ReportControls {
    HWND view;
    HWND infoText;
    HWND glExtensionList;
    HWND wglExtensionList;
    HWND driverList;
};

// How the companion's --formats reads the table of pixel formats
// (ReadPixelFormatTable); the dialog, which never shows it, passes none and
// so does not carry the code.
typedef bool (*PixelFormatReader)(HDC deviceContext, FactArray<PixelFormatRow>& rows);

// How the companion's --entry-points checks the commands the context's
// version and extensions promise (CheckEntryPoints), handed an
// EntryPointGathering: called with the view's context current, then on the
// core-profile context with core set. The dialog passes none and so does not
// carry the registry's table.
typedef void (*EntryPointChecker)(void* gathering);

class GatheredReport {
public:
    GatheredReport() = default;
    GatheredReport(const GatheredReport&) = delete;
    GatheredReport& operator=(const GatheredReport&) = delete;

    // Needs the view's context current and leaves it current. With
    // readPixelFormats, also the table of every format the view's device
    // context offers; with checkEntryPoints, the entry points. False when
    // memory ran out.
    bool Gather(const ReportControls& controls, PixelFormatReader readPixelFormats = nullptr,
                EntryPointChecker checkEntryPoints = nullptr);
    // The facts; they point into this object.
    const ReportData& Data() const { return records_.data; }

private:
    bool ReadControls(const ReportControls& controls);
    void ReadContext(PixelFormatReader readPixelFormats, EntryPointChecker checkEntryPoints);
    void ReadDrivers();
    void ReadSystem();
    bool Ok() const;

    FactPool pool_;
    FactArray<const char*> glLines_, wglLines_, driverLines_;
    FactArray<DriverDll> driverDlls_;
    FactArray<SubkeyDriver> subkeyDrivers_;
    FactArray<DisplayAdapter> displayAdapters_;
    FactArray<DllPresence> dllPresence_;
    FactArray<PixelFormatRow> pixelFormats_;
    ReportConclusion conclusion_;
    // The plain records, in one block that starts as zeros.
    struct Records {
        ReportData data;
        char driverKey[160];
        const char* valueNames[kDriverRows];
        const char* dllNames[kDriverRows];
        SystemFacts system;
        DisplayFacts display;
        LimitValue limits[kLimitCount];
        bool pixelFormatsFailed;
        EntryPointFacts entryPoints;
        EsProfileFacts esProfile;
        VideoMemoryFacts videoMemory;
        RenderCheckFacts renderCheck;
        DrawRateFacts drawRate;
    } records_ = {};
};
