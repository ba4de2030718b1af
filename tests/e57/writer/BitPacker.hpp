#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace e57test
{

// Least significant bit first, as the format packs values.
class BitPacker
{
public:
    void push(std::uint64_t value, unsigned bits)
    {
        if (partialBits_ == 0 && bits % 8 == 0)
        {
            for (unsigned i = 0; i < bits; i += 8) pending.push_back(static_cast<unsigned char>(value >> i));
            return;
        }
        while (bits > 0)
        {
            const unsigned take = std::min(bits, 8 - partialBits_);
            partial_ |= (value & ((std::uint64_t {1} << take) - 1)) << partialBits_;
            value = take < 64 ? value >> take : 0;
            partialBits_ += take;
            bits -= take;
            if (partialBits_ == 8)
            {
                pending.push_back(static_cast<unsigned char>(partial_));
                partial_ = 0;
                partialBits_ = 0;
            }
        }
    }
    void flushPartial()
    {
        if (partialBits_ > 0) pending.push_back(static_cast<unsigned char>(partial_));
        partial_ = 0;
        partialBits_ = 0;
    }

    std::vector<unsigned char> pending;  // whole bytes not yet put into a packet

private:
    std::uint64_t partial_ = 0;
    unsigned partialBits_ = 0;
};

}  // namespace e57test
