#pragma once
#include <cstdint>
#include <vector>

namespace GS
{

// The host's growable array, as far as callers fill and read it.
template <typename T>
class Array
{
public:
    Array() = default;
    void Push(const T& item) { items_.push_back(item); }
    std::uint32_t GetSize() const { return static_cast<std::uint32_t>(items_.size()); }
    bool IsEmpty() const { return items_.empty(); }
    const T& operator[](std::uint32_t index) const { return items_[index]; }
    T& operator[](std::uint32_t index) { return items_[index]; }

private:
    std::vector<T> items_;
};

}  // namespace GS
