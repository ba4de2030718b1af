#pragma once
#include <cstdint>

// The host's relocatable memory: a handle is the address of a master pointer to
// the block, and it knows its block's size.
using GSHandle = char**;
using GSConstHandle = const char* const*;
using GSSize = std::int64_t;

// Action code of BMAllocateHandle: the block starts zero-filled.
constexpr std::int32_t ALLCLEAR = 1;

// Null when the memory cannot be had or the size is negative.
GSHandle BMAllocateHandle(GSSize bytes, std::int32_t actionCode);
// 0 for a null handle.
GSSize BMGetHandleSize(GSConstHandle handle);
// Frees the block and clears the caller's handle; a null handle is left alone.
void BMKillHandle(GSHandle* handle);

using GSPtr = char*;
// A plain block; null when the memory cannot be had or the size is negative.
GSPtr BMAllocatePtr(GSSize bytes, std::int32_t actionCode);
// Frees the block and clears the caller's pointer; a null pointer is left alone.
void BMKillPtr(GSPtr* pointer);

// Memory running out on purpose: the allocation that many allocations from now
// fails, and only that one; a negative count fails none.
void BMFailAllocationAfter(std::int32_t count);
