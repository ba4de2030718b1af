#include "persistence/ReportData.hpp"

#include "DG/DG.hpp"
#include "IO/Location.hpp"
#include "RS/ResourceModule.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"
#include "framework/CDataRecorder.hpp"
#include "persistence/ProjectUser.hpp"
#include "persistence/StreamReader.hpp"
#include "persistence/StreamWriter.hpp"

namespace
{

// A stored record holds at least its GUID text's length, the reserved value,
// the name's length and the line count; a line at least its length.
constexpr std::int64_t MinimumRecordBytes = 4 + 2 + 4 + 4;
constexpr std::int64_t MinimumLineBytes = 4;

constexpr std::int16_t TextFileTypeEntry = 51;
constexpr char SaveReportTitle[] = "Survanto - Save Report File";

void WriteRecord(StreamWriter& writer, const ReportUserData& record)
{
    writer.WriteGuidText(record.user);
    writer.Write(record.reserved);
    writer.Write(record.name);
    const std::uint32_t count = record.lines.GetSize();
    const std::uint32_t skipped = count > ReportData::StoredLineCount ? count - ReportData::StoredLineCount : 0;
    writer.Write(static_cast<std::int32_t>(count - skipped));
    for (std::uint32_t i = skipped; i < count; ++i) writer.Write(record.lines[i]);
}

// A record cut short keeps what was read of it, once its user is known.
void ReadRecord(StreamReader& reader, ReportUserData& record, bool& userRead)
{
    userRead = reader.ReadGuidText(record.user);
    reader.Read(record.reserved);
    reader.Read(record.name);
    std::int32_t count = 0;
    reader.ReadCount(count, MinimumLineBytes);
    for (std::int32_t i = 0; i < count && reader.IsWhole(); ++i)
    {
        GS::UniString line;
        if (reader.Read(line) && !record.lines.Add(line)) reader.Stop();
    }
}

// The report text: the byte-order mark, then each line and CR LF in UTF-16LE.
// In the text modes the recorder writes texts without their length.
bool WriteReportText(CDataRecorder& recorder, const TypVektor<GS::UniString>& lines)
{
    static constexpr unsigned char ByteOrderMark[] = {0xFF, 0xFE};
    static constexpr unsigned char LineEnd[] = {0x0D, 0x00, 0x0A, 0x00};
    bool whole = recorder.WriteBytes(ByteOrderMark, sizeof ByteOrderMark);
    for (const GS::UniString& line : lines)
        whole = whole && recorder.WriteUniString(line) && recorder.WriteBytes(LineEnd, sizeof LineEnd);
    return whole;
}

}  // namespace

bool ReportData::Write(CDataRecorder& recorder)
{
    StreamWriter writer(recorder);
    writer.Write(static_cast<std::int32_t>(records.GetSize()));
    for (const ReportUserData& record : records) WriteRecord(writer, record);
    return writer.IsWhole();
}

bool ReportData::Read(CDataRecorder& recorder)
{
    StreamReader reader(recorder);
    std::int32_t count = 0;
    if (!reader.ReadCount(count, MinimumRecordBytes)) return false;
    records.Clear();
    for (std::int32_t i = 0; i < count && reader.IsWhole(); ++i)
    {
        ReportUserData record;
        bool userRead = false;
        ReadRecord(reader, record, userRead);
        if (userRead && !records.Add(record)) reader.Stop();
    }
    return reader.IsWhole();
}

ReportUserData& ReportData::GetCurrentUserData()
{
    const ProjectUser current = ProjectUser::Current();
    ReportUserData* record = FindUser(current.guid);
    if (record == nullptr)
    {
        ReportUserData added;
        added.user = current.guid;
        added.name = current.name;
        records.Push(added);
        record = &records[records.GetSize() - 1];
    }
    if (!current.name.IsEmpty()) record->name = current.name;
    return *record;
}

ReportUserData* ReportData::FindUser(const GS::Guid& user)
{
    for (ReportUserData& record : records)
        if (record.user == user) return &record;
    return nullptr;
}

bool ReportData::ExportToTextFile()
{
    DGTypePopupItem textFile;
    textFile.text = RS::GetIndString(AlertStringListId, TextFileTypeEntry, CurrentResourceModule());
    textFile.extensions = "txt";
    textFile.fileType = FourCC("TXT ");
    short selectedType = 1;
    IO::Location chosen;
    if (!DGGetSaveFile(&chosen, 1, &textFile, &selectedType, nullptr, SaveReportTitle)) return false;
    return WriteTextFile(chosen.ToPath(), GetCurrentUserData().lines);
}

// The host's file writes beside the chosen file and takes its place at Close
// only when every byte went out, so a failed export leaves an older file whole.
bool ReportData::WriteTextFile(const std::string& path, const TypVektor<GS::UniString>& lines)
{
    CDataRecorder recorder(CDataRecorder::EncodingCodePage);
    recorder.SetMode(CDataRecorder::ModeHostFileText);
    recorder.SetPath(path.c_str());
    if (recorder.OpenWrite() != 0) return false;
    const bool written = WriteReportText(recorder, lines);
    return recorder.Close() == 0 && written;
}
