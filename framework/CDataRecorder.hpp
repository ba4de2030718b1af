#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "API/Types.hpp"
#include "GS/UniString.hpp"

namespace IO
{
class File;
}

// The one channel for typed data: files (C runtime or the host's IO::File), a
// caller's memory block, or a size count for sizing a block before writing it.
// Numbers are little-endian; the recorder adds no header or version of its own.
class CDataRecorder
{
public:
    // Channel modes.
    static constexpr std::int32_t ModeCFileBinary = 1;
    static constexpr std::int32_t ModeMemory = 2;
    static constexpr std::int32_t ModeCount = 3;
    static constexpr std::int32_t ModeCFileText = 4;
    static constexpr std::int32_t ModeHostFileText = 5;
    static constexpr std::int32_t ModeHostFileBinary = 6;
    static constexpr std::int32_t ModeCountText = 7;
    static constexpr std::int32_t ModeMemoryText = 8;
    static constexpr std::int32_t ModeHostFileUtf16 = 9;

    // Text encodings: detected at the first ReadLine, and the one lines come out in.
    static constexpr std::int32_t EncodingUnknown = 0;
    static constexpr std::int32_t EncodingCodePage = 1;
    static constexpr std::int32_t EncodingUtf8 = 2;
    static constexpr std::int32_t EncodingUtf16LE = 3;

    // Results of ReadLine.
    static constexpr int LineMoreFollows = 0;
    static constexpr int LineLast = 2;

    static constexpr std::int32_t DefaultBufferSize = 40000;

    explicit CDataRecorder(std::int32_t targetEncoding);
    CDataRecorder(const CDataRecorder&) = delete;
    CDataRecorder& operator=(const CDataRecorder&) = delete;
    virtual ~CDataRecorder();

    void SetPath(const char* path);
    void SetMode(std::int32_t mode) { mode_ = mode; }
    std::int32_t GetMode() const { return mode_; }
    void SetBufferSize(std::int32_t bytes) { bufferSize_ = bytes; }
    void SetPlatformSign(std::int32_t sign) { platformSign_ = sign; }
    std::int32_t GetPlatformSign() const { return platformSign_; }
    void SetPurpose(std::int32_t tag) { purpose_ = tag; }
    std::int32_t GetPurpose() const { return purpose_; }
    std::int32_t GetDetectedEncoding() const { return detectedEncoding_; }
    void SetMemory(void* block, std::int32_t size);

    // 0 = success, 1 = failure.
    std::int32_t OpenRead();
    std::int32_t OpenWrite();
    std::int32_t Close();

    bool WriteBytes(const void* data, std::size_t n);
    bool ReadBytes(void* data, std::size_t n);

    bool WriteByte(std::uint8_t value);
    bool ReadByte(std::uint8_t& value);
    bool WriteBool(bool value);
    bool ReadBool(bool& value);
    bool WriteShort(std::int16_t value);
    bool ReadShort(std::int16_t& value);
    bool WriteLong(std::int32_t value);
    bool ReadLong(std::int32_t& value);
    bool ReadULong(std::uint32_t& value);
    bool WriteDouble(double value);
    bool ReadDouble(double& value);
    bool WriteFloat(float value);
    bool WriteCoord(const API_Coord& value);
    bool ReadCoord(API_Coord& value);
    bool WriteCoord3D(const API_Coord3D& value);
    bool ReadCoord3D(API_Coord3D& value);
    bool WriteGuid(const API_Guid& value);
    bool ReadGuid(API_Guid& value);
    bool WriteCString(const char* text);
    bool WriteUStr(const char16_t* text);
    bool WriteUniString(const GS::UniString& text);
    bool ReadUniString(GS::UniString& text);

    // The next text line into buffer (capacity + 2 bytes): LineMoreFollows or LineLast.
    int ReadLine(char* buffer, unsigned capacity);
    bool FindBytes(const char* pattern, std::size_t n);

    std::int32_t GetPosition();
    std::int32_t GetSize();
    void SetPosition(std::int32_t position);
    // Bytes between the position and the end of the data; a reader bounds every
    // stored count by it. Size counts have no end and report the largest value.
    std::int64_t GetBytesLeft();

private:
    bool IsCountMode() const;
    bool IsMemoryMode() const;
    bool IsHostFileMode() const;
    bool IsCFileMode() const;
    bool TakeTransferBuffer();
    void CloseStillOpenFile();
    bool FitsInMemory(std::size_t n) const;
    bool ReadCFile(void* data, std::size_t n);
    bool WriteHostFile(const void* data, std::size_t n);
    bool ReadHostFile(void* data, std::size_t n);
    bool ReadHostFileDirectly(void* data, std::size_t n);
    bool FlushCollected();
    bool WriteCount(std::int32_t count, bool countLeftOut);
    bool WriteUnits(const char16_t* units, std::size_t count);
    void DetectEncoding();
    void DeliverLine(const std::string& line, char* buffer, unsigned capacity) const;

    std::int32_t detectedEncoding_ = EncodingUnknown;
    std::int32_t targetEncoding_;
    std::int32_t mode_ = ModeCount;
    std::int32_t platformSign_;
    std::int32_t purpose_ = 0;
    std::FILE* cFile_ = nullptr;
    std::string path_;
    bool hasPath_ = false;
    std::unique_ptr<char[]> buffer_;
    std::int32_t bufferSize_ = DefaultBufferSize;
    std::int32_t bufferPosition_ = 0;
    std::int32_t bufferFill_ = 0;
    bool openedForWriting_ = false;
    char* memoryStart_ = nullptr;
    std::int64_t memoryOffset_ = 0;  // may lie beyond the block after SetPosition
    std::uint32_t memorySize_ = 0;
    std::unique_ptr<IO::File> hostFile_;
};
