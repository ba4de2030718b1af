#include <gtest/gtest.h>

#include <cstring>

#include "MainObjectFixture.hpp"
#include "StreamBytes.hpp"
#include "measuring/MeasuringState.hpp"
#include "persistence/QuintairData.hpp"
#include "persistence/ReportData.hpp"

namespace
{

GS::Guid GuidOfUser(std::int16_t id) { return APIGuid2GSGuid(SimHost::Teamwork::GuidOfUser(id)); }

// The measuring state is process-wide: each test leaves it as it found it.
class ProjectUsers : public MainObjectFixture
{
protected:
    void SetUp() override
    {
        MainObjectFixture::SetUp();
        before_ = measuringState;
    }
    void TearDown() override
    {
        measuringState = before_;
        MainObjectFixture::TearDown();
    }

    void Join(std::int16_t id, const char* name) { Host().project_.teamwork.SetCurrentUser(id, name); }
    QuintairDataUserData& CurrentSnapshot() { return Main().userData.GetCurrentUserData(measuringState, Main()); }

private:
    MeasuringState before_;
};

TEST_F(ProjectUsers, HostTellsTheTeamworkUsers)
{
    API_ProjectInfo project;
    ASSERT_EQ(HostEnvironmentRequest(FourCC("PROJ"), &project, nullptr), NoError);
    EXPECT_FALSE(project.teamwork);
    API_SharingInfo sharing;
    EXPECT_NE(HostEnvironmentRequest(FourCC("SHAR"), &sharing, nullptr), NoError);

    Join(1, "bert");
    Join(2, "anna");
    ASSERT_EQ(HostEnvironmentRequest(FourCC("PROJ"), &project, nullptr), NoError);
    EXPECT_TRUE(project.teamwork);
    EXPECT_EQ(project.userId, 2);
    ASSERT_EQ(HostEnvironmentRequest(FourCC("SHAR"), &sharing, nullptr), NoError);
    ASSERT_EQ(sharing.nUsers, 2);
    const auto* entry = reinterpret_cast<const std::uint8_t*>(&sharing.users[1]);
    EXPECT_EQ(std::memcmp(entry, u"anna", 10), 0);
    const API_Guid anna = SimHost::Teamwork::GuidOfUser(2);
    EXPECT_EQ(std::memcmp(entry + 1024, &anna, 16), 0);
    std::int16_t id = 0;
    std::memcpy(&id, entry + 1040, 2);
    EXPECT_EQ(id, 2);
}

TEST_F(ProjectUsers, SoloProjectKeepsOneRecordOfTheNullGuid)
{
    QuintairDataUserData& snapshot = CurrentSnapshot();
    EXPECT_EQ(&CurrentSnapshot(), &snapshot);
    ASSERT_EQ(Main().userData.GetSize(), 1u);
    EXPECT_TRUE(snapshot.user.IsNull());

    ReportUserData& reported = Main().report.GetCurrentUserData();
    EXPECT_EQ(&Main().report.GetCurrentUserData(), &reported);
    ASSERT_EQ(Main().report.records.GetSize(), 1u);
    EXPECT_TRUE(reported.user.IsNull());
    EXPECT_TRUE(reported.name.IsEmpty());
}

TEST_F(ProjectUsers, TeamworkUserFindsTheirRecordUnderTheirCurrentName)
{
    QuintairDataUserData earlier;
    earlier.user = GuidOfUser(2);
    earlier.userName = "anna.old";
    earlier.stationId = "S4";
    Main().userData.Add(QuintairDataUserData {});
    Main().userData.Add(earlier);
    ReportUserData reported;
    reported.user = GuidOfUser(2);
    reported.name = "anna.old";
    Main().report.records.Add(reported);

    Join(1, "bert");
    Join(2, "anna");
    EXPECT_EQ(&CurrentSnapshot(), &Main().userData[1]);
    EXPECT_EQ(Main().userData[1].userName.ToUtf8(), "anna");
    EXPECT_EQ(Main().userData[1].stationId.ToUtf8(), "S4");
    EXPECT_EQ(&Main().report.GetCurrentUserData(), &Main().report.records[0]);
    EXPECT_EQ(Main().report.records[0].name.ToUtf8(), "anna");

    Join(1, "bert");
    EXPECT_EQ(CurrentSnapshot().user, GuidOfUser(1));
    EXPECT_EQ(Main().report.GetCurrentUserData().name.ToUtf8(), "bert");
    EXPECT_EQ(Main().userData.GetSize(), 3u);
    EXPECT_EQ(Main().report.records.GetSize(), 2u);
}

TEST_F(ProjectUsers, NewRecordIsTakenFromTheLiveState)
{
    measuringState.measuredX = 12.0;
    measuringState.referenceHeight = 1.5;
    measuringState.stationMode = 1;
    Main().stationId = "S7";
    Main().stationPointPen = 44;
    Main().perTypeLayers[3] = 9;
    Main().secondStation.angle = 0.75;
    Main().photoFolderDialog.photoFolder = IO::Location(std::string("/photos"));
    Join(3, "carl");

    const QuintairDataUserData& snapshot = CurrentSnapshot();
    EXPECT_EQ(snapshot.user, GuidOfUser(3));
    EXPECT_EQ(snapshot.userName.ToUtf8(), "carl");
    EXPECT_EQ(snapshot.measuredX, 12.0);
    EXPECT_EQ(snapshot.referenceHeight, 1.5);
    EXPECT_EQ(snapshot.stationMode, 1);
    EXPECT_EQ(snapshot.stationId.ToUtf8(), "S7");
    EXPECT_EQ(snapshot.stationPointPen, 44);
    EXPECT_EQ(snapshot.perTypeLayers[3], 9);
    EXPECT_EQ(snapshot.secondStation.angle, 0.75);
    EXPECT_EQ(snapshot.photoFolder.ToPath(), "/photos");
    EXPECT_EQ(snapshot.exchangeFile.ToUtf8(), "C:\\temp\\vezadovi4vuz.lse");
    EXPECT_FALSE(snapshot.automaticPictures);
}

// A list read from stored data (as a teamwork merge reads one) is data only:
// the live state changes when the caller applies the current user's record.
TEST_F(ProjectUsers, ReadListChangesTheLiveStateOnlyWhenApplied)
{
    QuintairData stored;
    QuintairDataUserData other;
    other.user = GuidOfUser(1);
    other.stationId = "S1";
    QuintairDataUserData own;
    own.user = GuidOfUser(2);
    own.measuredX = 5.0;
    own.stationId = "S5";
    own.firstStation.angle = 0.5;
    stored.Add(other);
    stored.Add(own);
    const auto bytes = Written([&](CDataRecorder& r) { return stored.Write(r); });

    Join(2, "anna");
    measuringState.measuredX = 1.0;
    Main().stationId = "live";
    QuintairData read;
    ASSERT_TRUE(ReadFrom(bytes, [&](CDataRecorder& r) { return read.Read(r, 24); }));
    ASSERT_EQ(read.GetSize(), 2u);
    EXPECT_EQ(measuringState.measuredX, 1.0);
    EXPECT_EQ(Main().stationId.ToUtf8(), "live");

    read.GetCurrentUserData(measuringState, Main()).ApplyTo(measuringState, Main());
    EXPECT_EQ(read.GetSize(), 2u);
    EXPECT_EQ(measuringState.measuredX, 5.0);
    EXPECT_EQ(measuringState.stationMode, 2);
    EXPECT_EQ(Main().stationId.ToUtf8(), "S5");
    EXPECT_EQ(Main().firstStation.angle, 0.5);
}

}  // namespace
