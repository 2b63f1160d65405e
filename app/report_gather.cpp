#include "app/report_gather.h"

#include <cstring>

#include "drivers/driver_facts.h"
#include "drivers/driver_table.h"
#include "drivers/registry_driver_store.h"
#include "platform/system_facts.h"
#include "platform/wgl_binding.h"
#include "report/advice.h"
#include "report/renderer_report.h"
#include "view/context_facts.h"
#include "view/gl_view.h"

static unsigned long TextBytes(const char* text)
{
    return text != nullptr ? static_cast<unsigned long>(std::strlen(text)) : 0;
}

bool ReportFacts::Gather()
{
    formatDescribed_ =
        DescribeFormatFlags(glView.deviceContext, glView.pixelFormat, &formatFlags_);
    shadingLanguage_ = pool_.Copy(QueryShadingLanguage());
    glExtensionBytes_ = TextBytes(reinterpret_cast<const char*>(wgl.getString(GL_EXTENSIONS)));
    wglExtensionBytes_ = TextBytes(QueryWglExtensions());
    limitCount_ = ReadContextLimits(limits_);
    coreProfile_ = ProbeCoreProfile(glView.deviceContext, glView.renderContext, pool_);

    ReadSubkeyDrivers(HKEY_LOCAL_MACHINE, CurrentDriverKey(), pool_, subkeyDrivers_);
    ReadDisplayAdapters(HKEY_LOCAL_MACHINE, kDisplayClassKey, pool_, displayAdapters_);

    // The names the report knows first, then whatever else is loaded.
    DriverDllScan scan(pool_, driverDlls_);
    for (int row = 1; row < DriverTable.driverCount && row < kDriverRows; ++row)
        scan.CheckName(DriverTable.entries[row].dllName, kDriverSourceRegistered);
    for (int i = 0; i < subkeyDrivers_.Count(); ++i)
        scan.CheckName(subkeyDrivers_[i].dll, kDriverSourceRegistered);
    for (int i = 0; i < displayAdapters_.Count(); ++i) {
        scan.CheckName(displayAdapters_[i].name, kDriverSourceDisplayAdapter);
        scan.CheckName(displayAdapters_[i].wowName, kDriverSourceDisplayAdapter);
    }
    scan.CheckLoadedModules();

    ReadSystemFacts(system_, pool_);
    remoteSession_ = IsRemoteSession();
    displayKnown_ = ReadDisplayFacts(display_, pool_);
    CheckEnabledDlls();
    return scan.Ok() && subkeyDrivers_.Ok() && displayAdapters_.Ok() && dllPresence_.Ok() &&
           pool_.Ok();
}

// Whether each DLL of an enabled registration is there and loaded.
void ReportFacts::CheckEnabledDlls()
{
    const char* valueNames[kDriverRows] = {};
    const char* dllNames[kDriverRows] = {};
    const int rows = DriverTable.driverCount < kDriverRows ? DriverTable.driverCount : kDriverRows;
    for (int row = 0; row < rows; ++row) {
        valueNames[row] = DriverTable.entries[row].valueName;
        dllNames[row] = DriverTable.entries[row].dllName;
    }
    ReportData registrations = {};
    registrations.driverValueNames = LineList{valueNames, rows};
    registrations.driverDllNames = LineList{dllNames, rows};
    registrations.system = &system_;
    HandTo(registrations);
    const char* names[kMaxEnabledDlls];
    const int count = EnabledDllNames(registrations, names, kMaxEnabledDlls);
    for (int i = 0; i < count; ++i)
        dllPresence_.Add(CheckDllPresence(names[i]));
}

void ReportFacts::HandTo(ReportData& data) const
{
    data.formatDescribed = formatDescribed_;
    data.formatFlags = formatFlags_;
    data.shadingLanguage = shadingLanguage_;
    data.coreProfile = coreProfile_;
    data.driverDlls = driverDlls_.Items();
    data.driverDllCount = driverDlls_.Count();
    data.glExtensionBytes = glExtensionBytes_;
    data.wglExtensionBytes = wglExtensionBytes_;
    data.limits = limits_;
    data.limitCount = limitCount_;
    data.subkeyDrivers = subkeyDrivers_.Items();
    data.subkeyDriverCount = subkeyDrivers_.Count();
    data.displayAdapters = displayAdapters_.Items();
    data.displayAdapterCount = displayAdapters_.Count();
    data.system = &system_;
    data.remoteSession = remoteSession_;
    data.display = displayKnown_ ? &display_ : nullptr;
    data.dllPresence = dllPresence_.Items();
    data.dllPresenceCount = dllPresence_.Count();
}
