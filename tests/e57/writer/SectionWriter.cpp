#include "SectionWriter.hpp"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

namespace e57test
{
namespace
{

constexpr std::size_t kMaxPacket = 65536;

unsigned bitsOf(const FieldLayout& field)
{
    switch (field.kind)
    {
        case FieldKind::Single: return 32;
        case FieldKind::Double: return 64;
        default: break;
    }
    const std::uint64_t range = static_cast<std::uint64_t>(field.maximum) - static_cast<std::uint64_t>(field.minimum);
    unsigned bits = 0;
    while (bits < 64 && (range >> bits) != 0) ++bits;
    return bits;
}

std::uint64_t encode(const FieldLayout& field, const FieldValue& value)
{
    switch (field.kind)
    {
        case FieldKind::Single:
        {
            const float single = static_cast<float>(value.real);
            std::uint32_t bits;
            std::memcpy(&bits, &single, 4);
            return bits;
        }
        case FieldKind::Double:
        {
            std::uint64_t bits;
            std::memcpy(&bits, &value.real, 8);
            return bits;
        }
        default:
            if (value.integer < field.minimum || value.integer > field.maximum)
                throw std::runtime_error("value outside the limits of field " + field.name);
            return static_cast<std::uint64_t>(value.integer) - static_cast<std::uint64_t>(field.minimum);
    }
}

template <typename T>
void put(unsigned char* at, T value)
{
    std::memcpy(at, &value, sizeof value);
}

}  // namespace

SectionWriter::SectionWriter(PageWriter& out, const ScanLayout& scan) : out_(out), scan_(scan), streams_(scan.fields.size())
{
    const std::size_t n = scan.fields.size();
    const std::size_t room = (kMaxPacket - 6 - 2 * n - 3) / std::max<std::size_t>(n, 1);
    chunk_ = std::max<std::size_t>(1, std::min(scan.packetFieldBytes, room));
    for (const auto& field : scan.fields) bits_.push_back(bitsOf(field));
}

std::uint64_t SectionWriter::write()
{
    while (out_.logicalPosition() % 4 != 0) out_.writeZeros(1);
    const std::uint64_t start = out_.logicalPosition();
    const std::uint64_t startPhysical = out_.physicalPosition();
    out_.writeZeros(32);
    const std::uint64_t dataPhysical = out_.physicalPosition();
    std::vector<FieldValue> values(scan_.fields.size());
    for (std::uint64_t record = 0; record < scan_.recordCount; ++record)
    {
        scan_.source(record, values.data());
        for (std::size_t f = 0; f < values.size(); ++f)
            if (bits_[f] > 0) streams_[f].push(encode(scan_.fields[f], values[f]), bits_[f]);
        if (anyFieldFull()) writePacket();
    }
    for (auto& stream : streams_) stream.flushPartial();
    while (anyPending()) writePacket();
    const std::uint64_t indexPhysical = scan_.indexPacket ? writeIndexPacket(dataPhysical) : 0;

    unsigned char header[32] = {1};
    put(header + 8, out_.logicalPosition() - start);
    put(header + 16, scan_.withoutDataPacket && scan_.recordCount == 0 ? std::uint64_t {0} : dataPhysical);
    put(header + 24, indexPhysical);
    out_.patch(start, header, sizeof header);
    return startPhysical;
}

bool SectionWriter::anyFieldFull() const
{
    return std::any_of(streams_.begin(), streams_.end(),
                       [this](const BitPacker& stream) { return stream.pending.size() >= chunk_; });
}

bool SectionWriter::anyPending() const
{
    return std::any_of(streams_.begin(), streams_.end(), [](const BitPacker& stream) { return !stream.pending.empty(); });
}

void SectionWriter::writePacket()
{
    const std::size_t n = streams_.size();
    std::vector<std::uint16_t> lengths(n);
    std::size_t length = 6 + 2 * n;
    for (std::size_t f = 0; f < n; ++f)
    {
        lengths[f] = static_cast<std::uint16_t>(std::min(streams_[f].pending.size(), chunk_));
        length += lengths[f];
    }
    const std::size_t padded = (length + 3) / 4 * 4;
    std::vector<unsigned char> packet(padded, 0);
    packet[0] = 1;
    put(packet.data() + 2, static_cast<std::uint16_t>(padded - 1));
    put(packet.data() + 4, static_cast<std::uint16_t>(n));
    std::size_t at = 6;
    for (std::size_t f = 0; f < n; ++f, at += 2) put(packet.data() + at, lengths[f]);
    for (std::size_t f = 0; f < n; ++f)
    {
        auto& pending = streams_[f].pending;
        if (lengths[f] == 0) continue;
        std::memcpy(packet.data() + at, pending.data(), lengths[f]);
        pending.erase(pending.begin(), pending.begin() + lengths[f]);
        at += lengths[f];
    }
    out_.write(packet.data(), packet.size());
}

std::uint64_t SectionWriter::writeIndexPacket(std::uint64_t dataPhysical)
{
    const std::uint64_t physical = out_.physicalPosition();
    unsigned char packet[32] = {0};
    put(packet + 2, std::uint16_t {31});
    put(packet + 4, std::uint16_t {1});
    put(packet + 24, dataPhysical);
    out_.write(packet, sizeof packet);
    return physical;
}

}  // namespace e57test
