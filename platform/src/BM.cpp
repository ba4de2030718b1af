#include "GS/BM.hpp"

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{

// The master pointer comes first, so that a handle is also the block record's address.
struct HandleBlock
{
    char* pointer;
    GSSize size;
};

HandleBlock* BlockOf(GSConstHandle handle) { return reinterpret_cast<HandleBlock*>(const_cast<char**>(handle)); }

std::atomic<std::int32_t> allocationsBeforeFailure {-1};

// Counts the allocation down; true for the one that is to fail.
bool FailsOnPurpose()
{
    std::int32_t left = allocationsBeforeFailure.load();
    while (left >= 0 && !allocationsBeforeFailure.compare_exchange_weak(left, left - 1))
    {}
    return left == 0;
}

}  // namespace

void BMFailAllocationAfter(std::int32_t count) { allocationsBeforeFailure.store(count < 0 ? -1 : count); }

GSHandle BMAllocateHandle(GSSize bytes, std::int32_t actionCode)
{
    if (bytes < 0 || FailsOnPurpose()) return nullptr;
    auto* block = static_cast<HandleBlock*>(std::malloc(sizeof(HandleBlock)));
    if (block == nullptr) return nullptr;
    const auto size = static_cast<std::size_t>(bytes > 0 ? bytes : 1);
    block->pointer = static_cast<char*>((actionCode & ALLCLEAR) != 0 ? std::calloc(size, 1) : std::malloc(size));
    if (block->pointer == nullptr)
    {
        std::free(block);
        return nullptr;
    }
    block->size = bytes;
    return &block->pointer;
}

GSSize BMGetHandleSize(GSConstHandle handle) { return handle != nullptr ? BlockOf(handle)->size : 0; }

void BMKillHandle(GSHandle* handle)
{
    if (handle == nullptr || *handle == nullptr) return;
    HandleBlock* block = BlockOf(*handle);
    std::free(block->pointer);
    std::free(block);
    *handle = nullptr;
}

GSPtr BMAllocatePtr(GSSize bytes, std::int32_t actionCode)
{
    if (bytes < 0 || FailsOnPurpose()) return nullptr;
    const auto size = static_cast<std::size_t>(bytes > 0 ? bytes : 1);
    return static_cast<char*>((actionCode & ALLCLEAR) != 0 ? std::calloc(size, 1) : std::malloc(size));
}

void BMKillPtr(GSPtr* pointer)
{
    if (pointer == nullptr || *pointer == nullptr) return;
    std::free(*pointer);
    *pointer = nullptr;
}
