// The driver store on the Windows registry: one key under a root key.
#pragma once

#include "drivers/driver_store.h"
#include "platform/windows_headers.h"

class RegistryDriverStore final : public DriverStore {
public:
    RegistryDriverStore(HKEY root, const char* subKey) : root_(root), subKey_(subKey) {}

    bool Open() override;
    bool ReadValue(unsigned index, char* name, unsigned nameCapacity, char* data,
                   unsigned dataCapacity) override;
    bool WriteString(const char* name, const char* data) override;
    bool DeleteValue(const char* name) override;
    void Close() override;

private:
    HKEY root_;
    const char* subKey_;
    HKEY key_ = nullptr;
};

// The registrations key for the running platform family, as GetVersionExA says.
const char* CurrentDriverKey();
