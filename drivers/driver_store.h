// Where the driver registrations live: one key holding named string values.
// The program uses the registry; tests use a store of their own.
#pragma once

// What a look-up of one value by name found.
enum class ValueLookup { kFound, kMissing, kUnreadable };

class DriverStore {
public:
    // Opens the key, creating it when missing.
    virtual bool Open() = 0;
    // Reads the value at index into name (nameCapacity characters) and data
    // (dataCapacity bytes), both capacities counting the terminating NUL.
    // False when there is no such value, when either part does not fit, or on
    // any other error.
    virtual bool ReadValue(unsigned index, char* name, unsigned nameCapacity, char* data,
                           unsigned dataCapacity) = 0;
    // Reads the string value called name into data (dataCapacity bytes,
    // counting the terminating NUL). kMissing when there is no such value;
    // kUnreadable when it is no string, does not fit, or on any other error.
    virtual ValueLookup ReadString(const char* name, char* data, unsigned dataCapacity) = 0;
    // Writes a string value, creating or replacing it.
    virtual bool WriteString(const char* name, const char* data) = 0;
    // Deletes a value. True when it is gone afterwards, so also when there
    // was no such value; false on any other error.
    virtual bool DeleteValue(const char* name) = 0;
    // Ends what Open began; called only after an Open that succeeded.
    virtual void Close() = 0;

protected:
    ~DriverStore() = default;
};
