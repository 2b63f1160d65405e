// A driver store held in memory, in insertion order like the registry's own
// enumeration, with names compared without case as the registry does. Each
// step can be made to fail, and every call is counted.
#pragma once

#include <gtest/gtest.h>
#include <strings.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "drivers/driver_store.h"

class MemoryDriverStore final : public DriverStore {
public:
    using Values = std::vector<std::pair<std::string, std::string>>;

    explicit MemoryDriverStore(Values values = {}) : values(std::move(values)) {}

    bool Open() override
    {
        ++opens;
        if (failOpen)
            return false;
        EXPECT_FALSE(open) << "opened twice";
        open = true;
        return true;
    }

    bool ReadValue(unsigned index, char* name, unsigned nameCapacity, char* data,
                   unsigned dataCapacity) override
    {
        EXPECT_TRUE(open);
        ++reads;
        if (static_cast<int>(index) == failReadAt || index >= values.size())
            return false;
        const std::string& storedName = values[index].first;
        // The data is kept with the terminating NUL, as REG_SZ is written.
        const std::string storedData = values[index].second + '\0';
        if (storedName.size() + 1 > nameCapacity || storedData.size() > dataCapacity) {
            // Like a registry that fills what fits before it reports the
            // overflow: unterminated pieces are left in both buffers.
            std::memset(name, '?', nameCapacity);
            std::memset(data, '?', dataCapacity);
            return false;
        }
        std::memcpy(name, storedName.c_str(), storedName.size() + 1);
        std::memcpy(data, storedData.data(), storedData.size());
        return true;
    }

    ValueLookup ReadString(const char* name, char* data, unsigned dataCapacity) override
    {
        EXPECT_TRUE(open);
        for (const auto& value : values) {
            if (!SameName(value.first, name))
                continue;
            if (value.second.size() + 1 > dataCapacity)
                return ValueLookup::kUnreadable;
            std::memcpy(data, value.second.c_str(), value.second.size() + 1);
            return ValueLookup::kFound;
        }
        return ValueLookup::kMissing;
    }

    bool WriteString(const char* name, const char* data) override
    {
        EXPECT_TRUE(open);
        ++writes;
        if (failWrites || Listed(refusedWrites, name))
            return false;
        for (auto& value : values) {
            if (SameName(value.first, name)) {
                value.second = data;
                return true;
            }
        }
        values.emplace_back(name, data);
        return true;
    }

    bool DeleteValue(const char* name) override
    {
        EXPECT_TRUE(open);
        ++deletes;
        if (failDeletes || Listed(refusedDeletes, name))
            return false;
        for (auto it = values.begin(); it != values.end(); ++it) {
            if (SameName(it->first, name)) {
                values.erase(it);
                return true;
            }
        }
        return true;  // nothing to delete: gone all the same
    }

    void Close() override
    {
        EXPECT_TRUE(open) << "closed without an open";
        open = false;
        ++closes;
    }

    Values values;
    bool failOpen = false;
    int failReadAt = -1;
    bool failWrites = false;
    bool failDeletes = false;
    // Names whose writes, or deletes, fail.
    std::vector<std::string> refusedWrites;
    std::vector<std::string> refusedDeletes;

    bool open = false;
    int opens = 0;
    int reads = 0;
    int writes = 0;
    int deletes = 0;
    int closes = 0;

private:
    static bool SameName(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }
    static bool Listed(const std::vector<std::string>& names, const char* name)
    {
        for (const auto& listed : names) {
            if (SameName(listed, name))
                return true;
        }
        return false;
    }
};
