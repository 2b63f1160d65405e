// A registry key whose values nobody may set or delete while this object
// lives, as HKEY_LOCAL_MACHINE is for a program without administrator rights.
// The key's access list is saved first and put back at the end; the key is
// created when missing.
#pragma once

#include <windows.h>

#include <vector>

class ValueChangesDenied {
public:
    ValueChangesDenied(HKEY root, const char* subKey) : root_(root), subKey_(subKey)
    {
        HKEY key = nullptr;
        if (RegCreateKeyExA(root_, subKey_, 0, nullptr, 0, READ_CONTROL | WRITE_DAC, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return;
        DWORD size = 0;
        RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
        saved_.resize(size);
        if (size == 0 || RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, saved_.data(), &size) !=
                             ERROR_SUCCESS) {
            RegCloseKey(key);
            return;
        }
        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        PSID everyone = nullptr;
        AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
        alignas(DWORD) BYTE aclBuffer[256];
        PACL acl = reinterpret_cast<PACL>(aclBuffer);
        SECURITY_DESCRIPTOR denying;
        denied_ = everyone != nullptr && InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION) &&
                  AddAccessDeniedAce(acl, ACL_REVISION, KEY_SET_VALUE, everyone) &&
                  AddAccessAllowedAce(acl, ACL_REVISION, KEY_ALL_ACCESS, everyone) &&
                  InitializeSecurityDescriptor(&denying, SECURITY_DESCRIPTOR_REVISION) &&
                  SetSecurityDescriptorDacl(&denying, TRUE, acl, FALSE) &&
                  RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &denying) == ERROR_SUCCESS;
        if (everyone != nullptr)
            FreeSid(everyone);
        RegCloseKey(key);
    }

    ~ValueChangesDenied() { Restore(); }
    ValueChangesDenied(const ValueChangesDenied&) = delete;
    ValueChangesDenied& operator=(const ValueChangesDenied&) = delete;

    // Whether the denial is in force.
    bool Denied() const { return denied_; }

    // Puts the saved access list back; true when it is (or was never changed).
    bool Restore()
    {
        if (!denied_)
            return true;
        HKEY key = nullptr;
        if (RegOpenKeyExA(root_, subKey_, 0, WRITE_DAC, &key) != ERROR_SUCCESS)
            return false;
        denied_ = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, saved_.data()) != ERROR_SUCCESS;
        RegCloseKey(key);
        return !denied_;
    }

private:
    HKEY root_;
    const char* subKey_;
    std::vector<BYTE> saved_;
    bool denied_ = false;
};
