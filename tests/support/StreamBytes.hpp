#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "GS/Guid.hpp"
#include "framework/CDataRecorder.hpp"
#include "framework/IFileIO.hpp"

// Stored streams written out by hand in the recorder's layouts: little-endian
// numbers, one-byte booleans, texts as an int32 unit count and UTF-16LE units.
class StreamBytes
{
public:
    StreamBytes& Byte(std::uint8_t value)
    {
        bytes.push_back(value);
        return *this;
    }
    StreamBytes& Bytes(std::initializer_list<std::uint8_t> values)
    {
        bytes.insert(bytes.end(), values);
        return *this;
    }
    StreamBytes& Zeros(std::size_t count)
    {
        bytes.insert(bytes.end(), count, 0);
        return *this;
    }
    StreamBytes& Bool(bool value) { return Byte(value ? 1 : 0); }
    StreamBytes& I16(std::int16_t value) { return Little(static_cast<std::uint16_t>(value), 2); }
    StreamBytes& I32(std::int32_t value) { return Little(static_cast<std::uint32_t>(value), 4); }
    StreamBytes& F32(float value)
    {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &value, 4);
        return Little(bits, 4);
    }
    StreamBytes& F64(double value)
    {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, 8);
        return Little(bits, 8);
    }
    StreamBytes& Coord3D(double x, double y, double z) { return F64(x).F64(y).F64(z); }
    StreamBytes& Text(const std::u16string& units)
    {
        I32(static_cast<std::int32_t>(units.size()));
        for (const char16_t unit : units) Little(unit, 2);
        return *this;
    }
    // The eight bytes of the last part, then the third, first and second parts.
    StreamBytes& Guid(const char* text)
    {
        const GS::Guid::Parts parts = GS::Guid(text).GetParts();
        for (const std::uint8_t byte : parts.data4) Byte(byte);
        Little(parts.data3, 2);
        Little(parts.data1, 4);
        return Little(parts.data2, 2);
    }
    StreamBytes& Append(const std::vector<std::uint8_t>& other)
    {
        bytes.insert(bytes.end(), other.begin(), other.end());
        return *this;
    }
    StreamBytes& Append(const StreamBytes& other) { return Append(other.bytes); }

    std::vector<std::uint8_t> bytes;

private:
    StreamBytes& Little(std::uint64_t value, int count)
    {
        for (int i = 0; i < count; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        return *this;
    }
};

// What a writer puts out: sized in a counting pass, then written into a block of that size.
template <typename Write>
std::vector<std::uint8_t> Written(Write&& write)
{
    CDataRecorder counter(CDataRecorder::EncodingCodePage);
    write(counter);
    std::vector<std::uint8_t> block(static_cast<std::size_t>(counter.GetSize()));
    CDataRecorder recorder(CDataRecorder::EncodingCodePage);
    recorder.SetMode(CDataRecorder::ModeMemory);
    recorder.SetMemory(block.data(), static_cast<std::int32_t>(block.size()));
    if (!write(recorder)) block.clear();
    return block;
}

// Runs a reader over the bytes; `bytesLeft` receives what it left unread.
template <typename Read>
bool ReadFrom(std::vector<std::uint8_t> bytes, Read&& read, std::int64_t* bytesLeft = nullptr)
{
    CDataRecorder recorder(CDataRecorder::EncodingCodePage);
    recorder.SetMode(CDataRecorder::ModeMemory);
    recorder.SetMemory(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    const bool result = read(recorder);
    if (bytesLeft != nullptr) *bytesLeft = recorder.GetBytesLeft();
    return result;
}

// An object's own stream as it writes it, and the object read back from bytes.
inline std::vector<std::uint8_t> WrittenObject(IFileIO& object)
{
    return Written([&object](CDataRecorder& recorder) { return object.Write(recorder); });
}

inline bool ReadObject(IFileIO& object, std::vector<std::uint8_t> bytes)
{
    return ReadFrom(std::move(bytes), [&object](CDataRecorder& recorder) { return object.Read(recorder); });
}
