#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "CDataRecorder.hpp"
#include "IFileIO.hpp"

// Little-endian byte strings built by hand, and an object written to or read
// from memory through the recorder.
class StreamBytes {
public:
    std::vector<std::uint8_t> bytes;

    StreamBytes& Raw(std::initializer_list<std::uint8_t> raw)
    {
        bytes.insert(bytes.end(), raw);
        return *this;
    }
    StreamBytes& Bool(bool b) { return Raw({static_cast<std::uint8_t>(b ? 1 : 0)}); }
    StreamBytes& Short(std::int16_t v) { return Number(v); }
    StreamBytes& Long(std::int32_t v) { return Number(v); }
    StreamBytes& Double(double v) { return Number(v); }
    StreamBytes& Coord3D(double x, double y, double z) { return Double(x).Double(y).Double(z); }
    StreamBytes& String(const std::u16string& text)
    {
        Long(static_cast<std::int32_t>(text.size()));
        for (char16_t unit : text) Number(static_cast<std::uint16_t>(unit));
        return *this;
    }

    template <typename T>
    StreamBytes& Number(T v)
    {
        std::uint8_t raw[sizeof(T)];
        std::memcpy(raw, &v, sizeof(T));
        bytes.insert(bytes.end(), raw, raw + sizeof(T));
        return *this;
    }
};

inline std::vector<std::uint8_t> WriteToMemory(IFileIO& object)
{
    CDataRecorder counter(CDataRecorder::EncodingCodePage);
    counter.SetMode(CDataRecorder::ModeCount);
    object.Write(counter);
    std::vector<std::uint8_t> block(static_cast<std::size_t>(counter.GetPosition()));
    CDataRecorder recorder(CDataRecorder::EncodingCodePage);
    recorder.SetMode(CDataRecorder::ModeMemory);
    recorder.SetMemory(block.data(), static_cast<std::int32_t>(block.size()));
    object.Write(recorder);
    block.resize(static_cast<std::size_t>(recorder.GetPosition()));
    return block;
}

inline bool ReadFromMemory(IFileIO& object, std::vector<std::uint8_t> block)
{
    CDataRecorder recorder(CDataRecorder::EncodingCodePage);
    recorder.SetMode(CDataRecorder::ModeMemory);
    recorder.SetMemory(block.data(), static_cast<std::int32_t>(block.size()));
    return object.Read(recorder);
}
