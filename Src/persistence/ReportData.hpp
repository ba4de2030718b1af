#pragma once
#include <cstdint>
#include <string>

#include "framework/IFileIO.hpp"
#include "framework/TypVektor.hpp"
#include "persistence/ReportUserData.hpp"

class CDataRecorder;

// The program messages of the instrument application, one record per user of
// the project, stored with the project's module data "REPORT". Only the last
// lines of each user are stored; memory keeps all until the report is read again.
class ReportData final : public IFileIO
{
public:
    static constexpr std::uint32_t StoredLineCount = 100;

    ReportData() = default;
    ReportData(const ReportData& other) = default;
    ReportData& operator=(const ReportData& other) = default;
    ~ReportData() = default;

    // The record count, then per record the user's GUID text, reserved value,
    // name and at most the last 100 lines.
    bool Write(CDataRecorder& recorder) override;
    // Replaces the records by those of the stream. A damaged record count leaves
    // the records as they were; a record whose stream breaks off ends the
    // reading and keeps its whole lines once its user was read. False when the
    // stream was damaged.
    bool Read(CDataRecorder& recorder) override;

    // The record of the user who works in the project, added when missing; a
    // changed login name is taken over. std::bad_alloc when it cannot be added.
    ReportUserData& GetCurrentUserData();

    // Asks for a file and writes the current user's lines into it as UTF-16LE
    // text with a byte-order mark, each line ended by CR LF. An existing file is
    // replaced only by a complete one. False when the user cancelled or the
    // file could not be written.
    bool ExportToTextFile();

    TypVektor<ReportUserData> records;

private:
    ReportUserData* FindUser(const GS::Guid& user);
    static bool WriteTextFile(const std::string& path, const TypVektor<GS::UniString>& lines);
};
