#include "platform/fact_pool.h"

#include <cstring>

// Allocations left before every one fails; negative: no limit.
static int allocationsLeft = -1;

void LimitFactAllocations(int count)
{
    allocationsLeft = count;
}

static bool MayAllocate()
{
    if (allocationsLeft < 0)
        return true;
    if (allocationsLeft == 0)
        return false;
    --allocationsLeft;
    return true;
}

// One copied string, chained to the ones before it.
struct FactPool::Block {
    Block* next;
    char text[1];
};

FactPool::~FactPool()
{
    while (blocks_ != nullptr) {
        Block* next = blocks_->next;
        std::free(blocks_);
        blocks_ = next;
    }
}

char* FactPool::Allocate(std::size_t length)
{
    Block* block = MayAllocate()
                       ? static_cast<Block*>(std::malloc(offsetof(Block, text) + length + 1))
                       : nullptr;
    if (block == nullptr) {
        failed_ = true;
        return nullptr;
    }
    block->text[length] = '\0';
    block->next = blocks_;
    blocks_ = block;
    return block->text;
}

const char* FactPool::Copy(const char* text, std::size_t length)
{
    char* copy = Allocate(length);
    if (copy != nullptr)
        std::memcpy(copy, text, length);
    return copy;
}

const char* FactPool::Copy(const char* text)
{
    return text != nullptr ? Copy(text, std::strlen(text)) : nullptr;
}

void* FactArrayStorage::Append(std::size_t recordSize)
{
    if (count_ == capacity_) {
        const int capacity = capacity_ != 0 ? capacity_ * 2 : 8;
        void* grown = MayAllocate()
                          ? std::realloc(items_, static_cast<std::size_t>(capacity) * recordSize)
                          : nullptr;
        if (grown == nullptr) {
            failed_ = true;
            return nullptr;
        }
        items_ = grown;
        capacity_ = capacity;
    }
    return static_cast<char*>(items_) + static_cast<std::size_t>(count_++) * recordSize;
}
