#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "DG/DG.hpp"
#include "FileBytes.hpp"
#include "MainObjectFixture.hpp"
#include "StreamBytes.hpp"
#include "persistence/ReportData.hpp"

namespace
{

using Bytes = std::vector<std::uint8_t>;

class ReportLog : public MainObjectFixture
{
protected:
    void AddLines(int count)
    {
        for (int i = 1; i <= count; ++i) Main().report.GetCurrentUserData().lines.Add(std::to_string(i));
    }
    std::string PathInFolder(const std::string& name) const { return folder_.path() + "/" + name; }

private:
    TempFolder folder_;
};

TEST_F(ReportLog, StoresTheLast100LinesOfEachUser)
{
    AddLines(150);
    const Bytes bytes = Written([&](CDataRecorder& r) { return Main().report.Write(r); });
    ReportData read;
    std::int64_t left = -1;
    ASSERT_TRUE(ReadFrom(
        bytes, [&](CDataRecorder& r) { return read.Read(r); }, &left));
    EXPECT_EQ(left, 0);
    ASSERT_EQ(read.records.GetSize(), 1u);
    const auto& lines = read.records[0].lines;
    ASSERT_EQ(lines.GetSize(), 100u);
    EXPECT_EQ(lines[0].ToUtf8(), "51");
    EXPECT_EQ(lines[99].ToUtf8(), "150");
    EXPECT_EQ(Main().report.GetCurrentUserData().lines.GetSize(), 150u);
}

TEST_F(ReportLog, ExportAsksForATextFileAndWritesNothingWhenCancelled)
{
    AddLines(1);
    DG::QueueFileCancel();
    EXPECT_FALSE(Main().report.ExportToTextFile());
    ASSERT_EQ(DG::RecordedFileDialogs().size(), 1u);
    const DG::FileDialogRecord& shown = DG::RecordedFileDialogs()[0];
    EXPECT_EQ(shown.title.ToUtf8(), "Survanto - Save Report File");
    ASSERT_EQ(shown.types.size(), 1u);
    EXPECT_EQ(shown.types[0].text.ToUtf8(), "Textdatei");
    EXPECT_EQ(shown.types[0].extensions.ToUtf8(), "txt");
    EXPECT_EQ(shown.types[0].fileType, FourCC("TXT "));
    EXPECT_EQ(shown.selectedType, 1);
    EXPECT_TRUE(std::filesystem::is_empty(PathInFolder("")));
}

TEST_F(ReportLog, ExportReplacesAnOlderFileWithAllLines)
{
    const std::string path = PathInFolder("report.txt");
    std::ofstream(path) << std::string(5000, 'x');
    AddLines(150);
    DG::QueueFileAnswer(IO::Location(path));
    ASSERT_TRUE(Main().report.ExportToTextFile());
    StreamBytes expected;
    expected.Bytes({0xFF, 0xFE});
    for (int i = 1; i <= 150; ++i)
    {
        for (const char digit : std::to_string(i)) expected.Bytes({std::uint8_t(digit), 0});
        expected.Bytes({0x0D, 0, 0x0A, 0});
    }
    EXPECT_EQ(FileBytes(path), expected.bytes);
}

TEST_F(ReportLog, ExportIntoAMissingFolderFails)
{
    AddLines(1);
    DG::QueueFileAnswer(IO::Location(PathInFolder("missing/report.txt")));
    EXPECT_FALSE(Main().report.ExportToTextFile());
    EXPECT_TRUE(std::filesystem::is_empty(PathInFolder("")));
}

}  // namespace
