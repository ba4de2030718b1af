#pragma once
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "GX/PixMap.hpp"

// Pixel storage that a resize leaves unset, for decoders that write every pixel
// themselves: clearing a picture of 64 MiB first costs as much as copying it.
template <typename T>
struct UnsetAllocator : std::allocator<T>
{
    template <typename U>
    struct rebind
    {
        using other = UnsetAllocator<U>;
    };
    UnsetAllocator() = default;
    template <typename U>
    UnsetAllocator(const UnsetAllocator<U>&) noexcept
    {}
    template <typename U>
    void construct(U* at) noexcept
    {
        ::new (static_cast<void*>(at)) U;
    }
    template <typename U, typename... Args>
    void construct(U* at, Args&&... args)
    {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }
};

struct GSPixMap
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    double horizontalDpi = 72.0;
    double verticalDpi = 72.0;
    std::vector<std::uint8_t, UnsetAllocator<std::uint8_t>> pixels;  // blue, green, red, alpha; top row first

    std::uint8_t* Row(std::int32_t y) { return pixels.data() + std::size_t(y) * std::size_t(width) * 4; }
    const std::uint8_t* Row(std::int32_t y) const { return pixels.data() + std::size_t(y) * std::size_t(width) * 4; }
};
