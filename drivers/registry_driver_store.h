// The driver store on the Windows registry: one key under a root key.
#pragma once

#include "drivers/driver_store.h"
#include "platform/windows_headers.h"

class RegistryDriverStore final : public DriverStore {
public:
    enum Access { kCreateWhenMissing, kReadOnly };

    // A kReadOnly store opens an existing key for reading only, and its
    // writes and deletes fail.
    RegistryDriverStore(HKEY root, const char* subKey, Access access = kCreateWhenMissing)
        : root_(root), subKey_(subKey), access_(access)
    {
    }

    bool Open() override;
    bool ReadValue(unsigned index, char* name, unsigned nameCapacity, char* data,
                   unsigned dataCapacity) override;
    ValueLookup ReadString(const char* name, char* data, unsigned dataCapacity) override;
    bool WriteString(const char* name, const char* data) override;
    bool DeleteValue(const char* name) override;
    void Close() override;

private:
    HKEY root_;
    const char* subKey_;
    Access access_;
    HKEY key_ = nullptr;
};

// The registrations key for the running platform family, as GetVersionExA says.
const char* CurrentDriverKey();
