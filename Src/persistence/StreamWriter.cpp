#include "persistence/StreamWriter.hpp"

#include "framework/CDataRecorder.hpp"

void StreamWriter::Write(bool value)
{
    Keep([&] { return recorder_.WriteBool(value); });
}
void StreamWriter::Write(std::int16_t value)
{
    Keep([&] { return recorder_.WriteShort(value); });
}
void StreamWriter::Write(std::int32_t value)
{
    Keep([&] { return recorder_.WriteLong(value); });
}
void StreamWriter::Write(double value)
{
    Keep([&] { return recorder_.WriteDouble(value); });
}
void StreamWriter::Write(const API_Guid& value)
{
    Keep([&] { return recorder_.WriteGuid(value); });
}
void StreamWriter::Write(const GS::UniString& value)
{
    Keep([&] { return recorder_.WriteUniString(value); });
}
void StreamWriter::WriteGuidText(const GS::Guid& value) { Write(value.ToUniString()); }
void StreamWriter::WritePath(const IO::Location& value) { Write(value.ToUniString()); }
