// Memory for gathered facts: a pool of copied strings and growable arrays of
// plain records, both on the C heap and freed together with their owner. No
// exceptions: a failed allocation gives null or false, and the owner's Ok()
// turns false so that a short result is not taken for a whole one.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <type_traits>

// For tests that make gathering run out of memory: the next count
// allocations of every pool and array succeed and the ones after them fail.
// A negative count lifts the limit, as it is at start.
void LimitFactAllocations(int count);

class FactPool {
public:
    FactPool() = default;
    ~FactPool();
    FactPool(const FactPool&) = delete;
    FactPool& operator=(const FactPool&) = delete;

    // Room for length bytes and the NUL after them, which is set; null when
    // memory ran out.
    char* Allocate(std::size_t length);
    // A terminated copy of the first length bytes of text; null when memory ran out.
    const char* Copy(const char* text, std::size_t length);
    // A copy of text; null for null text or when memory ran out.
    const char* Copy(const char* text);
    // For memory that ran out elsewhere while filling what the pool holds.
    void MarkFailed() { failed_ = true; }
    bool Ok() const { return !failed_; }

private:
    struct Block;
    Block* blocks_ = nullptr;
    bool failed_ = false;
};

// The untyped storage of a FactArray, so that every record type shares one
// growth routine.
class FactArrayStorage {
public:
    FactArrayStorage(const FactArrayStorage&) = delete;
    FactArrayStorage& operator=(const FactArrayStorage&) = delete;
    int Count() const { return count_; }
    bool Ok() const { return !failed_; }

protected:
    FactArrayStorage() = default;
    ~FactArrayStorage() { std::free(items_); }
    // Room for one more record of recordSize bytes, counted; null when memory ran out.
    void* Append(std::size_t recordSize);

    void* items_ = nullptr;
    int count_ = 0;

private:
    int capacity_ = 0;
    bool failed_ = false;
};

template <typename Record>
class FactArray : public FactArrayStorage {
    static_assert(std::is_trivially_copyable<Record>::value, "records are copied bytewise");

public:
    FactArray() = default;

    bool Add(const Record& record)
    {
        void* slot = Append(sizeof(Record));
        if (slot == nullptr)
            return false;
        std::memcpy(slot, &record, sizeof(Record));
        return true;
    }

    // Null while empty.
    const Record* Items() const { return count_ != 0 ? static_cast<const Record*>(items_) : nullptr; }
    Record& operator[](int index) { return static_cast<Record*>(items_)[index]; }
};
