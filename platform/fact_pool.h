// Memory for gathered facts: a pool of copied strings and growable arrays of
// plain records, both on the C heap and freed together with their owner. No
// exceptions: a failed allocation gives null or false, and the owner's Ok()
// turns false so that a short result is not taken for a whole one.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <type_traits>

class FactPool {
public:
    FactPool() = default;
    ~FactPool();
    FactPool(const FactPool&) = delete;
    FactPool& operator=(const FactPool&) = delete;

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

template <typename Record>
class FactArray {
    static_assert(std::is_trivially_copyable<Record>::value, "records are copied bytewise");

public:
    FactArray() = default;
    ~FactArray() { std::free(items_); }
    FactArray(const FactArray&) = delete;
    FactArray& operator=(const FactArray&) = delete;

    bool Add(const Record& record)
    {
        if (count_ == capacity_) {
            const int capacity = capacity_ != 0 ? capacity_ * 2 : 8;
            void* grown = std::realloc(items_, static_cast<std::size_t>(capacity) * sizeof(Record));
            if (grown == nullptr) {
                failed_ = true;
                return false;
            }
            items_ = static_cast<Record*>(grown);
            capacity_ = capacity;
        }
        items_[count_++] = record;
        return true;
    }

    // Null while empty.
    const Record* Items() const { return count_ != 0 ? items_ : nullptr; }
    Record& operator[](int index) { return items_[index]; }
    int Count() const { return count_; }
    bool Ok() const { return !failed_; }

private:
    Record* items_ = nullptr;
    int count_ = 0;
    int capacity_ = 0;
    bool failed_ = false;
};
