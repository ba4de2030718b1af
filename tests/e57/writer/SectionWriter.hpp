#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "BitPacker.hpp"
#include "E57TestWriter.hpp"
#include "PageWriter.hpp"

namespace e57test
{

// Streams one scan's records into a compressed-vector section: data packets that
// take up to a fixed number of bytes from each field, so that fields of different
// widths end at different records within a packet, as real writers do.
class SectionWriter
{
public:
    SectionWriter(PageWriter& out, const ScanLayout& scan);

    // Returns the physical offset of the section.
    std::uint64_t write();

private:
    bool anyFieldFull() const;
    bool anyPending() const;
    void writePacket();
    std::uint64_t writeIndexPacket(std::uint64_t dataPhysical);

    PageWriter& out_;
    const ScanLayout& scan_;
    std::vector<BitPacker> streams_;
    std::vector<unsigned> bits_;
    std::size_t chunk_ = 0;
};

}  // namespace e57test
