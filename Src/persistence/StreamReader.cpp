#include "persistence/StreamReader.hpp"

#include "CDataRecorder.hpp"

bool StreamReader::Left(std::int64_t bytes)
{
    if (whole_ && recorder_.GetBytesLeft() < bytes) whole_ = false;
    return whole_;
}

bool StreamReader::Read(bool& value)
{
    bool read = false;
    if (Left(1) && !recorder_.ReadBool(read)) Stop();
    if (whole_) value = read;
    return whole_;
}

bool StreamReader::Read(std::int16_t& value)
{
    std::int16_t read = 0;
    if (Left(2) && !recorder_.ReadShort(read)) Stop();
    if (whole_) value = read;
    return whole_;
}

bool StreamReader::Read(std::int32_t& value)
{
    std::int32_t read = 0;
    if (Left(4) && !recorder_.ReadLong(read)) Stop();
    if (whole_) value = read;
    return whole_;
}

bool StreamReader::Read(double& value)
{
    double read = 0.0;
    if (Left(8) && !recorder_.ReadDouble(read)) Stop();
    if (whole_) value = read;
    return whole_;
}

// The recorder reports a GUID as read even past the end, so the bytes are counted first.
bool StreamReader::Read(API_Guid& value)
{
    API_Guid read {};
    if (Left(16) && !recorder_.ReadGuid(read)) Stop();
    if (whole_) value = read;
    return whole_;
}

// The length is looked at before the text is read, so that a damaged length
// never asks for more than the data holds.
bool StreamReader::Read(GS::UniString& value)
{
    if (!Left(4)) return false;
    const std::int32_t start = recorder_.GetPosition();
    std::int32_t units = 0;
    if (!recorder_.ReadLong(units) || (units > 0 && !Left(2 * std::int64_t(units)))) {
        Stop();
        return false;
    }
    recorder_.SetPosition(start);
    GS::UniString read;
    if (!recorder_.ReadUniString(read)) Stop();
    if (whole_) value = read;
    return whole_;
}

bool StreamReader::ReadGuidText(GS::Guid& value)
{
    GS::UniString text;
    if (!Read(text)) return false;
    GS::Guid read;
    read.FromText(text.ToUtf8());
    value = read;
    return true;
}

bool StreamReader::ReadPath(IO::Location& value)
{
    GS::UniString path;
    if (!Read(path)) return false;
    value = IO::Location(path);
    return true;
}

bool StreamReader::ReadCount(std::int32_t& count, std::int64_t minimumItemBytes)
{
    std::int32_t read = 0;
    if (!Read(read)) return false;
    if (read < 0 || (read > 0 && !Left(std::int64_t(read) * minimumItemBytes))) {
        Stop();
        return false;
    }
    count = read;
    return true;
}
