#include "persistence/StreamReader.hpp"

#include "framework/CDataRecorder.hpp"

bool StreamReader::Read(bool& value)
{
    return Take(value, [this](bool& read) { return recorder_.ReadBool(read); });
}

bool StreamReader::Read(std::int16_t& value)
{
    return Take(value, [this](std::int16_t& read) { return recorder_.ReadShort(read); });
}

bool StreamReader::Read(std::int32_t& value)
{
    return Take(value, [this](std::int32_t& read) { return recorder_.ReadLong(read); });
}

bool StreamReader::Read(double& value)
{
    return Take(value, [this](double& read) { return recorder_.ReadDouble(read); });
}

bool StreamReader::Read(API_Guid& value)
{
    return Take(value, [this](API_Guid& read) { return recorder_.ReadGuid(read); });
}

// The recorder refuses a length that reaches past the end of the data.
bool StreamReader::Read(GS::UniString& value)
{
    return Take(value, [this](GS::UniString& read) { return recorder_.ReadUniString(read); });
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
    if (read < 0 || std::int64_t(read) * minimumItemBytes > recorder_.GetBytesLeft())
    {
        Stop();
        return false;
    }
    count = read;
    return true;
}
