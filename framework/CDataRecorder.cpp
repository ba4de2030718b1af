#include "framework/CDataRecorder.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "GS/CharCode.hpp"
#include "GS/PlatformSign.hpp"
#include "IO/File.hpp"

namespace
{

constexpr std::int32_t FallbackBufferSize = 500;

bool IsNotFoundStatus(std::int32_t status) { return status >= IO::FileNotFound && status <= IO::InvalidLocation; }

bool IsLineBreak(const unsigned char* unit, std::size_t unitSize)
{
    const bool breakByte = unit[0] == 0x0D || unit[0] == 0x0A;
    return unitSize == 1 ? breakByte : breakByte && unit[1] == 0;
}

std::size_t Utf8SequenceLength(unsigned char lead)
{
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    return lead >= 0xC0 ? 2 : 1;
}

// Drops a character whose bytes were cut off at the end.
void DropSplitUtf8(std::string& text)
{
    std::size_t start = text.size();
    while (start > 0 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80) --start;
    if (start == 0) return;
    --start;
    if (text.size() - start < Utf8SequenceLength(static_cast<unsigned char>(text[start]))) text.resize(start);
}

void DropSplitSurrogate(std::u16string& units)
{
    if (!units.empty() && units.back() >= 0xD800 && units.back() < 0xDC00) units.pop_back();
}

// A regular file only, opened without waiting: a pipe or a device in the file's
// place is refused, never waited on or read as data.
std::FILE* OpenRegularFile(const std::string& path, const char* mode)
{
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) return nullptr;
    struct stat info
    {};
    const int flags = ::fcntl(descriptor, F_GETFL);
    std::FILE* file = nullptr;
    if (::fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode) && flags >= 0 &&
        ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) == 0)
        file = ::fdopen(descriptor, mode);
    if (file == nullptr) ::close(descriptor);
    return file;
}

// A file past 2 GiB reports the largest size the recorder's positions reach, never a wrapped one.
std::int32_t ClampedSize(std::int64_t size)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(size, 0, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

CDataRecorder::CDataRecorder(std::int32_t targetEncoding) : targetEncoding_(targetEncoding), platformSign_(GS::Win_Platform_Sign)
{}

// A file still open is dropped: a C-runtime file is closed, a host file being
// written replaces nothing.
CDataRecorder::~CDataRecorder()
{
    if (cFile_ != nullptr) std::fclose(cFile_);
}

bool CDataRecorder::IsCountMode() const { return mode_ == ModeCount || mode_ == ModeCountText; }
bool CDataRecorder::IsMemoryMode() const { return mode_ == ModeMemory || mode_ == ModeMemoryText; }
bool CDataRecorder::IsCFileMode() const { return mode_ == ModeCFileBinary || mode_ == ModeCFileText; }
bool CDataRecorder::IsHostFileMode() const
{
    return mode_ == ModeHostFileText || mode_ == ModeHostFileBinary || mode_ == ModeHostFileUtf16;
}

void CDataRecorder::SetPath(const char* path)
{
    hasPath_ = path != nullptr;
    path_ = hasPath_ ? path : "";
}

void CDataRecorder::SetMemory(void* block, std::int32_t size)
{
    memoryStart_ = static_cast<char*>(block);
    memoryOffset_ = 0;
    memorySize_ = size > 0 ? static_cast<std::uint32_t>(size) : 0;
    detectedEncoding_ = EncodingUnknown;
}

// ---- Opening and closing ----------------------------------------------------

bool CDataRecorder::TakeTransferBuffer()
{
    buffer_.reset();
    bufferPosition_ = 0;
    bufferFill_ = 0;
    if (bufferSize_ > 0) buffer_.reset(new (std::nothrow) char[static_cast<std::size_t>(bufferSize_)]);
    if (buffer_ == nullptr)
    {
        bufferSize_ = FallbackBufferSize;
        buffer_.reset(new (std::nothrow) char[FallbackBufferSize]);
    }
    return buffer_ != nullptr;
}

void CDataRecorder::CloseStillOpenFile()
{
    if (cFile_ != nullptr || hostFile_ != nullptr) Close();
}

std::int32_t CDataRecorder::OpenRead()
{
    if (!hasPath_ || !(IsCFileMode() || IsHostFileMode())) return 1;
    CloseStillOpenFile();
    detectedEncoding_ = EncodingUnknown;
    if (!TakeTransferBuffer()) return 1;
    if (IsCFileMode())
    {
        cFile_ = OpenRegularFile(path_, mode_ == ModeCFileBinary ? "rb" : "r");
        if (cFile_ == nullptr) return 1;
        std::setvbuf(cFile_, buffer_.get(), _IOFBF, static_cast<std::size_t>(bufferSize_));
        return 0;
    }
    try
    {
        hostFile_ = std::make_unique<IO::File>(IO::Location(path_), IO::File::Fail);
        if (IsNotFoundStatus(hostFile_->GetStatus()) || hostFile_->Open(IO::File::ReadMode) != 0)
        {
            hostFile_.reset();
            return 1;
        }
        if (mode_ == ModeHostFileUtf16)
        {
            unsigned char mark[2] {};
            std::uint64_t read = 0;
            const bool marked = hostFile_->ReadBin(reinterpret_cast<char*>(mark), 2, read) == 0 && read == 2 && mark[0] == 0xFF &&
                                mark[1] == 0xFE;
            if (!marked) return 1;
        }
    }
    catch (...)
    {
        hostFile_.reset();
        return 1;
    }
    return 0;
}

std::int32_t CDataRecorder::OpenWrite()
{
    if (!hasPath_ || !(IsCFileMode() || IsHostFileMode())) return 1;
    CloseStillOpenFile();
    if (!TakeTransferBuffer()) return 1;
    if (IsCFileMode())
    {
        cFile_ = std::fopen(path_.c_str(), mode_ == ModeCFileBinary ? "wb" : "w");
        if (cFile_ == nullptr) return 1;
        std::setvbuf(cFile_, buffer_.get(), _IOFBF, static_cast<std::size_t>(bufferSize_));
    }
    else
    {
        try
        {
            hostFile_ = std::make_unique<IO::File>(IO::Location(path_), IO::File::Create);
            if (hostFile_->GetStatus() != 0 || hostFile_->Open(IO::File::WriteMode) != 0)
            {
                hostFile_.reset();
                return 1;
            }
        }
        catch (...)
        {
            hostFile_.reset();
            return 1;
        }
    }
    openedForWriting_ = true;
    return 0;
}

// A host file whose last collected bytes cannot be written reports 1, and the
// file it was to replace stays as it was.
std::int32_t CDataRecorder::Close()
{
    std::int32_t result = 0;
    if (cFile_ != nullptr)
    {
        if (std::fclose(cFile_) != 0) result = 1;
        cFile_ = nullptr;
        buffer_.reset();
    }
    if (hostFile_ != nullptr)
    {
        if (openedForWriting_ && !FlushCollected()) result = 1;
        if (hostFile_->Close() != 0 && openedForWriting_) result = 1;
        hostFile_.reset();
        buffer_.reset();
        bufferPosition_ = 0;
        bufferFill_ = 0;
    }
    openedForWriting_ = false;
    return result;
}

// ---- Raw transfers ----------------------------------------------------------

bool CDataRecorder::FitsInMemory(std::size_t n) const
{
    if (n == 0) return true;
    if (memoryStart_ == nullptr || memoryOffset_ < 0 || memoryOffset_ > static_cast<std::int64_t>(memorySize_)) return false;
    return n <= memorySize_ - static_cast<std::uint64_t>(memoryOffset_);
}

bool CDataRecorder::WriteBytes(const void* data, std::size_t n)
{
    if (IsCountMode())
    {
        memorySize_ += static_cast<std::uint32_t>(n);
        return true;
    }
    if (IsMemoryMode())
    {
        if (!FitsInMemory(n)) return false;
        if (n > 0) std::memcpy(memoryStart_ + memoryOffset_, data, n);
        memoryOffset_ += static_cast<std::int64_t>(n);
        return true;
    }
    if (IsCFileMode()) return cFile_ != nullptr && std::fwrite(data, 1, n, cFile_) == n;
    if (IsHostFileMode()) return WriteHostFile(data, n);
    return false;
}

bool CDataRecorder::ReadBytes(void* data, std::size_t n)
{
    if (IsCountMode())
    {
        memorySize_ += static_cast<std::uint32_t>(n);
        return true;
    }
    if (IsMemoryMode())
    {
        if (!FitsInMemory(n)) return false;
        if (n > 0) std::memcpy(data, memoryStart_ + memoryOffset_, n);
        memoryOffset_ += static_cast<std::int64_t>(n);
        return true;
    }
    if (IsCFileMode()) return ReadCFile(data, n);
    if (IsHostFileMode()) return ReadHostFile(data, n);
    return false;
}

// A short read gives the bytes back to the stream and leaves the target as it was.
bool CDataRecorder::ReadCFile(void* data, std::size_t n)
{
    if (cFile_ == nullptr) return false;
    if (n == 0) return true;
    std::vector<char> bytes(n);
    const std::size_t got = std::fread(bytes.data(), 1, n, cFile_);
    if (got != n)
    {
        std::clearerr(cFile_);
        std::fseek(cFile_, -static_cast<long>(got), SEEK_CUR);
        return false;
    }
    std::memcpy(data, bytes.data(), n);
    return true;
}

bool CDataRecorder::FlushCollected()
{
    if (bufferPosition_ == 0) return true;
    const bool written = hostFile_->WriteBin(buffer_.get(), static_cast<std::uint64_t>(bufferPosition_)) == 0;
    bufferPosition_ = 0;
    return written;
}

// Bytes are collected in the transfer buffer; a transfer that does not fit into
// it goes to the file directly.
bool CDataRecorder::WriteHostFile(const void* data, std::size_t n)
{
    if (hostFile_ == nullptr || !openedForWriting_) return false;
    const auto capacity = static_cast<std::size_t>(bufferSize_);
    if (static_cast<std::size_t>(bufferPosition_) + n >= capacity && !FlushCollected()) return false;
    if (n >= capacity) return hostFile_->WriteBin(static_cast<const char*>(data), n) == 0;
    std::memcpy(buffer_.get() + bufferPosition_, data, n);
    bufferPosition_ += static_cast<std::int32_t>(n);
    return true;
}

bool CDataRecorder::ReadHostFile(void* data, std::size_t n)
{
    if (hostFile_ == nullptr || openedForWriting_) return false;
    const auto buffered = static_cast<std::size_t>(bufferFill_ - bufferPosition_);
    if (n <= buffered)
    {
        if (n > 0) std::memcpy(data, buffer_.get() + bufferPosition_, n);
        bufferPosition_ += static_cast<std::int32_t>(n);
        return true;
    }
    if (static_cast<std::uint64_t>(GetBytesLeft()) < n) return false;
    if (n > static_cast<std::size_t>(bufferSize_)) return ReadHostFileDirectly(data, n);
    std::memmove(buffer_.get(), buffer_.get() + bufferPosition_, buffered);
    bufferPosition_ = 0;
    bufferFill_ = static_cast<std::int32_t>(buffered);
    std::uint64_t read = 0;
    hostFile_->ReadBin(buffer_.get() + bufferFill_, static_cast<std::uint64_t>(bufferSize_ - bufferFill_), read);
    bufferFill_ += static_cast<std::int32_t>(read);
    if (static_cast<std::size_t>(bufferFill_) < n) return false;
    std::memcpy(data, buffer_.get(), n);
    bufferPosition_ = static_cast<std::int32_t>(n);
    return true;
}

// A transfer larger than the transfer buffer: the buffered bytes, then the rest
// straight from the file.
bool CDataRecorder::ReadHostFileDirectly(void* data, std::size_t n)
{
    const auto buffered = static_cast<std::size_t>(bufferFill_ - bufferPosition_);
    std::vector<char> rest(n - buffered);
    std::uint64_t read = 0;
    if (hostFile_->ReadBin(rest.data(), rest.size(), read) != 0 || read != rest.size())
    {
        std::int64_t filePosition = 0;
        if (hostFile_->GetPosition(filePosition) == 0) hostFile_->SetPosition(filePosition - static_cast<std::int64_t>(read));
        return false;
    }
    std::memcpy(data, buffer_.get() + bufferPosition_, buffered);
    std::memcpy(static_cast<char*>(data) + buffered, rest.data(), rest.size());
    bufferPosition_ = 0;
    bufferFill_ = 0;
    return true;
}

// ---- Typed values -----------------------------------------------------------

bool CDataRecorder::WriteByte(std::uint8_t value) { return WriteBytes(&value, 1); }

bool CDataRecorder::ReadByte(std::uint8_t& value)
{
    std::uint8_t read = value;
    if (!ReadBytes(&read, 1)) return false;
    value = read;
    return true;
}

bool CDataRecorder::WriteBool(bool value) { return WriteByte(value ? 1 : 0); }

bool CDataRecorder::ReadBool(bool& value)
{
    std::uint8_t read = value ? 1 : 0;
    if (!ReadBytes(&read, 1)) return false;
    value = read != 0;
    return true;
}

bool CDataRecorder::WriteShort(std::int16_t value) { return WriteBytes(&value, sizeof value); }

bool CDataRecorder::ReadShort(std::int16_t& value)
{
    std::int16_t read = value;
    if (!ReadBytes(&read, sizeof read)) return false;
    if (!IsCountMode()) IVShort(static_cast<GS::PlatformSign>(platformSign_), &read);
    value = read;
    return true;
}

bool CDataRecorder::WriteLong(std::int32_t value) { return WriteBytes(&value, sizeof value); }

bool CDataRecorder::ReadLong(std::int32_t& value)
{
    std::int32_t read = value;
    if (!ReadBytes(&read, sizeof read)) return false;
    if (!IsCountMode()) IVLong(static_cast<GS::PlatformSign>(platformSign_), &read);
    value = read;
    return true;
}

bool CDataRecorder::ReadULong(std::uint32_t& value)
{
    std::uint32_t read = value;
    if (!ReadBytes(&read, sizeof read)) return false;
    if (!IsCountMode()) IVULong(static_cast<GS::PlatformSign>(platformSign_), &read);
    value = read;
    return true;
}

bool CDataRecorder::WriteDouble(double value) { return WriteBytes(&value, sizeof value); }

bool CDataRecorder::ReadDouble(double& value)
{
    double read = value;
    if (!ReadBytes(&read, sizeof read)) return false;
    if (!IsCountMode()) IVDouble(static_cast<GS::PlatformSign>(platformSign_), &read);
    value = read;
    return true;
}

bool CDataRecorder::WriteFloat(float value) { return WriteBytes(&value, sizeof value); }

// Composite values are read whole or not at all: a failed part puts the position back.
bool CDataRecorder::WriteCoord(const API_Coord& value) { return WriteDouble(value.x) && WriteDouble(value.y); }

bool CDataRecorder::ReadCoord(API_Coord& value)
{
    const std::int32_t start = GetPosition();
    API_Coord read = value;
    if (!(ReadDouble(read.x) && ReadDouble(read.y)))
    {
        SetPosition(start);
        return false;
    }
    value = read;
    return true;
}

bool CDataRecorder::WriteCoord3D(const API_Coord3D& value)
{
    return WriteDouble(value.x) && WriteDouble(value.y) && WriteDouble(value.z);
}

bool CDataRecorder::ReadCoord3D(API_Coord3D& value)
{
    const std::int32_t start = GetPosition();
    API_Coord3D read = value;
    if (!(ReadDouble(read.x) && ReadDouble(read.y) && ReadDouble(read.z)))
    {
        SetPosition(start);
        return false;
    }
    value = read;
    return true;
}

// The last part (eight bytes) first, then the third, first and second parts.
bool CDataRecorder::WriteGuid(const API_Guid& value)
{
    std::uint8_t last[8];
    std::memcpy(last, value.clock_seq, 2);
    std::memcpy(last + 2, value.node, 6);
    return WriteBytes(last, sizeof last) && WriteShort(static_cast<std::int16_t>(value.time_hi_and_version)) &&
           WriteLong(static_cast<std::int32_t>(value.time_low)) && WriteShort(static_cast<std::int16_t>(value.time_mid));
}

bool CDataRecorder::ReadGuid(API_Guid& value)
{
    const std::int32_t start = GetPosition();
    std::uint8_t last[8];
    std::memcpy(last, value.clock_seq, 2);
    std::memcpy(last + 2, value.node, 6);
    auto third = static_cast<std::int16_t>(value.time_hi_and_version);
    std::uint32_t first = value.time_low;
    auto second = static_cast<std::int16_t>(value.time_mid);
    if (!(ReadBytes(last, sizeof last) && ReadShort(third) && ReadULong(first) && ReadShort(second)))
    {
        SetPosition(start);
        return false;
    }
    std::memcpy(value.clock_seq, last, 2);
    std::memcpy(value.node, last + 2, 6);
    value.time_hi_and_version = static_cast<std::uint16_t>(third);
    value.time_low = first;
    value.time_mid = static_cast<std::uint16_t>(second);
    return true;
}

bool CDataRecorder::WriteCount(std::int32_t count, bool countLeftOut) { return countLeftOut || WriteLong(count); }

bool CDataRecorder::WriteCString(const char* text)
{
    const std::size_t length = text != nullptr ? std::strlen(text) : 0;
    const bool countLeftOut =
        mode_ == ModeCFileText || mode_ == ModeHostFileText || mode_ == ModeCountText || mode_ == ModeMemoryText;
    if (!WriteCount(static_cast<std::int32_t>(length), countLeftOut)) return false;
    return length == 0 || WriteBytes(text, length);
}

bool CDataRecorder::WriteUnits(const char16_t* units, std::size_t count)
{
    const bool countLeftOut = mode_ == ModeCFileText || mode_ == ModeHostFileText || mode_ == ModeCountText ||
                              mode_ == ModeMemoryText || mode_ == ModeHostFileUtf16;
    if (!WriteCount(static_cast<std::int32_t>(count), countLeftOut)) return false;
    return count == 0 || WriteBytes(units, count * sizeof(char16_t));
}

bool CDataRecorder::WriteUStr(const char16_t* text)
{
    std::size_t length = 0;
    while (text != nullptr && text[length] != 0) ++length;
    return WriteUnits(text, length);
}

bool CDataRecorder::WriteUniString(const GS::UniString& text) { return WriteUnits(text.Units().data(), text.Units().size()); }

// The count is bounded by the bytes left before anything is taken for the units.
bool CDataRecorder::ReadUniString(GS::UniString& text)
{
    const std::int32_t start = GetPosition();
    std::int32_t count = 0;
    if (!ReadLong(count)) return false;
    if (count <= 0)
    {
        text.Clear();
        return true;
    }
    const auto bytes = static_cast<std::size_t>(count) * sizeof(char16_t);
    if (static_cast<std::uint64_t>(GetBytesLeft()) < bytes)
    {
        SetPosition(start);
        return false;
    }
    std::u16string units(static_cast<std::size_t>(count), u'\0');
    if (!ReadBytes(units.data(), bytes))
    {
        SetPosition(start);
        return false;
    }
    text = GS::UniString(std::move(units));
    return true;
}

// ---- Lines ------------------------------------------------------------------

void CDataRecorder::DetectEncoding()
{
    const std::int32_t start = GetPosition();
    unsigned char mark[3] {};
    const bool read = ReadBytes(mark, sizeof mark);
    if (read && mark[0] == 0xEF && mark[1] == 0xBB && mark[2] == 0xBF)
    {
        detectedEncoding_ = EncodingUtf8;
        return;
    }
    if (read && mark[0] == 0xFF && mark[1] == 0xFE)
    {
        detectedEncoding_ = EncodingUtf16LE;
        SetPosition(start + 2);
        return;
    }
    detectedEncoding_ = EncodingCodePage;
    SetPosition(start);
}

// Converts the line to the target encoding and cuts it to the capacity, whole
// characters only.
void CDataRecorder::DeliverLine(const std::string& line, char* buffer, unsigned capacity) const
{
    const GSCharCode target = targetEncoding_ == EncodingUtf8 ? CC_UTF8 : CC_WestEuropean;
    std::string text = line;
    if (detectedEncoding_ == EncodingUtf16LE)
    {
        std::u16string units(line.size() / 2, u'\0');
        std::memcpy(units.data(), line.data(), units.size() * sizeof(char16_t));
        DropSplitSurrogate(units);
        text = GS::Utf16ToCharCode(units, target);
    }
    else if (detectedEncoding_ == EncodingUtf8)
    {
        DropSplitUtf8(text);
        if (target != CC_UTF8) text = GS::Utf16ToCharCode(GS::CharCodeToUtf16(text, CC_UTF8), target);
    }
    else if (target == CC_UTF8)
    {
        text = GS::Utf16ToCharCode(GS::CharCodeToUtf16(line, CC_WestEuropean), CC_UTF8);
    }
    if (text.size() > capacity)
    {
        text.resize(capacity);
        if (target == CC_UTF8) DropSplitUtf8(text);
    }
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = 0;
    buffer[text.size() + 1] = 0;
}

// Blank lines never come out: every run of CR and LF units ends one line.
int CDataRecorder::ReadLine(char* buffer, unsigned capacity)
{
    if (!(IsMemoryMode() || IsCFileMode() || mode_ == ModeHostFileText || mode_ == ModeHostFileBinary)) return LineMoreFollows;
    if (detectedEncoding_ == EncodingUnknown) DetectEncoding();
    const std::size_t unitSize = detectedEncoding_ == EncodingUtf16LE ? 2 : 1;
    const std::size_t kept = capacity / unitSize * unitSize;
    std::string line;
    unsigned char unit[2] {};
    bool ended = false;
    for (;;)
    {
        if (!ReadBytes(unit, unitSize))
        {
            ended = true;
            break;
        }
        if (IsLineBreak(unit, unitSize)) break;
        if (line.size() < kept) line.append(reinterpret_cast<const char*>(unit), unitSize);
    }
    while (!ended)
    {
        const std::int32_t before = GetPosition();
        if (!ReadBytes(unit, unitSize))
        {
            ended = true;
        }
        else if (!IsLineBreak(unit, unitSize))
        {
            SetPosition(before);
            break;
        }
    }
    DeliverLine(line, buffer, capacity);
    return ended ? LineLast : LineMoreFollows;
}

bool CDataRecorder::FindBytes(const char* pattern, std::size_t n)
{
    if (n == 0) return true;
    if (IsCountMode() || pattern == nullptr) return false;
    const std::int32_t start = GetPosition();
    std::vector<char> window(n);
    for (;;)
    {
        const std::int32_t at = GetPosition();
        if (static_cast<std::uint64_t>(GetBytesLeft()) < n || !ReadBytes(window.data(), n))
        {
            SetPosition(start);
            return false;
        }
        if (std::memcmp(window.data(), pattern, n) == 0) return true;
        std::size_t step = 1;
        while (step < n && window[step] != pattern[0]) ++step;
        SetPosition(at + static_cast<std::int32_t>(step));
    }
}

// ---- Positions and sizes ----------------------------------------------------

std::int32_t CDataRecorder::GetPosition()
{
    if (IsCountMode()) return static_cast<std::int32_t>(memorySize_);
    if (IsMemoryMode()) return static_cast<std::int32_t>(memoryOffset_);
    if (IsCFileMode()) return cFile_ != nullptr ? static_cast<std::int32_t>(std::ftell(cFile_)) : 0;
    std::int64_t filePosition = 0;
    if (hostFile_ == nullptr || hostFile_->GetPosition(filePosition) != 0) return 0;
    return static_cast<std::int32_t>(filePosition - bufferFill_ + bufferPosition_);
}

void CDataRecorder::SetPosition(std::int32_t position)
{
    if (IsCountMode())
    {
        memorySize_ = position > 0 ? static_cast<std::uint32_t>(position) : 0;
    }
    else if (IsMemoryMode())
    {
        memoryOffset_ = position;
    }
    else if (IsCFileMode())
    {
        if (cFile_ != nullptr) std::fseek(cFile_, position, SEEK_SET);
    }
    else if (hostFile_ != nullptr)
    {
        std::int64_t filePosition = 0;
        if (hostFile_->GetPosition(filePosition) != 0) return;
        const std::int64_t bufferStart = filePosition - bufferFill_;
        if (!openedForWriting_ && position >= bufferStart && position <= filePosition)
        {
            bufferPosition_ = static_cast<std::int32_t>(position - bufferStart);
            return;
        }
        if (openedForWriting_) FlushCollected();
        bufferPosition_ = 0;
        bufferFill_ = 0;
        hostFile_->SetPosition(position);
    }
}

std::int32_t CDataRecorder::GetSize()
{
    if (IsCountMode() || IsMemoryMode()) return static_cast<std::int32_t>(memorySize_);
    if (IsCFileMode())
    {
        if (cFile_ == nullptr) return 0;
        const long at = std::ftell(cFile_);
        std::fseek(cFile_, 0, SEEK_END);
        const long size = std::ftell(cFile_);
        std::fseek(cFile_, at, SEEK_SET);
        return ClampedSize(static_cast<std::int64_t>(size));
    }
    std::uint64_t length = 0;
    if (hostFile_ == nullptr || hostFile_->GetDataLength(length) != 0) return 0;
    const auto size = static_cast<std::int64_t>(std::min<std::uint64_t>(length, std::numeric_limits<std::int64_t>::max()));
    return ClampedSize(openedForWriting_ ? std::max<std::int64_t>(size, GetPosition()) : size);
}

std::int64_t CDataRecorder::GetBytesLeft()
{
    if (IsCountMode()) return std::numeric_limits<std::int64_t>::max();
    if (IsMemoryMode())
        return memoryOffset_ < 0 ? 0 : std::max<std::int64_t>(0, static_cast<std::int64_t>(memorySize_) - memoryOffset_);
    return std::max<std::int64_t>(0, static_cast<std::int64_t>(GetSize()) - GetPosition());
}
