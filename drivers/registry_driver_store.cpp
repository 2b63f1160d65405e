#include "drivers/registry_driver_store.h"

#include <cstring>

#include "drivers/driver_registrations.h"

bool RegistryDriverStore::Open()
{
    if (access_ == kReadOnly)
        return RegOpenKeyExA(root_, subKey_, 0, KEY_READ, &key_) == ERROR_SUCCESS;
    return RegCreateKeyA(root_, subKey_, &key_) == ERROR_SUCCESS;
}

bool RegistryDriverStore::ReadValue(unsigned index, char* name, unsigned nameCapacity, char* data,
                                    unsigned dataCapacity)
{
    DWORD nameLength = nameCapacity;
    DWORD dataLength = dataCapacity;
    return RegEnumValueA(key_, index, name, &nameLength, nullptr, nullptr,
                         reinterpret_cast<BYTE*>(data), &dataLength) == ERROR_SUCCESS;
}

ValueLookup RegistryDriverStore::ReadString(const char* name, char* data, unsigned dataCapacity)
{
    if (dataCapacity == 0)
        return ValueLookup::kUnreadable;
    DWORD type = 0;
    DWORD length = dataCapacity - 1;
    const LONG result =
        RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &length);
    if (result == ERROR_FILE_NOT_FOUND)
        return ValueLookup::kMissing;
    if (result != ERROR_SUCCESS || type != REG_SZ)
        return ValueLookup::kUnreadable;
    // Stored with or without its NUL, the copy ends here.
    data[length] = '\0';
    return ValueLookup::kFound;
}

bool RegistryDriverStore::WriteString(const char* name, const char* data)
{
    if (access_ == kReadOnly)
        return false;
    const DWORD length = static_cast<DWORD>(std::strlen(data) + 1);
    return RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), length) ==
           ERROR_SUCCESS;
}

bool RegistryDriverStore::DeleteValue(const char* name)
{
    if (access_ == kReadOnly)
        return false;
    const LONG result = RegDeleteValueA(key_, name);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

void RegistryDriverStore::Close()
{
    RegCloseKey(key_);
    key_ = nullptr;
}

const char* CurrentDriverKey()
{
    // NOTE: Windows 95 knows only the original structure; its size must be given.
    static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA as Windows 95 knows it");
    OSVERSIONINFOA version;
    std::memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version))
        version.dwPlatformId = 0;
    return DriverKeyForPlatform(version.dwPlatformId);
}
