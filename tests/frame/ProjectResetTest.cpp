#include <gtest/gtest.h>

#include "DG/DG.hpp"
#include "MainObjectFixture.hpp"
#include "MarkerSupport.hpp"
#include "measuring/MeasuringState.hpp"
#include "persistence/QuintairData.hpp"

namespace
{

constexpr short Palette = Survanto::MainPaletteDialogId;

// A new project with the add-on's library; the measuring state is left as found.
class ProjectReset : public MainObjectFixture
{
protected:
    void SetUp() override
    {
        before_ = measuringState;
        MainObjectFixture::SetUp();
        LoadOwnLibrary(Host());
        DG::ClearRecordedAlerts();
    }
    void TearDown() override
    {
        MainObjectFixture::TearDown();
        measuringState = before_;
    }

    double Item(short item) { return Main().MainPaletteItemValue(item); }

private:
    MeasuringState before_;
};

}  // namespace

TEST_F(ProjectReset, PaletteStartsAfresh)
{
    for (const short item : {1, 2, 69, 70}) Main().SetMainPaletteItemValue(item, 1.0);
    for (const short item : {21, 33, 43, 52, 76}) Main().SetMainPaletteItemValue(item, 0.0);
    Main().photoFolderDialog.picturePreview = true;
    Main().measuringMode = 14;
    Main().activeStationId = "5";
    Main().railReady = Main().profileChosen = Main().instrumentBumped = Main().manualCalibration = true;
    Main().sounds = false;
    Main().profileList.Reset();
    measuringState.referenceHeight = 1.25;
    Main().refreshItems = false;

    Main().ResetMeasuringSession();
    for (const short item : {1, 2, 69, 70}) EXPECT_EQ(Item(item), 0.0) << item;
    for (const short item : {21, 33, 43, 52, 76}) EXPECT_EQ(Item(item), 1.0) << item;
    EXPECT_FALSE(DG::IsItemEnabled(Palette, 18));
    EXPECT_FALSE(DG::IsItemVisible(Palette, 67));
    EXPECT_EQ(Item(32), 1.25);
    EXPECT_FALSE(Main().photoFolderDialog.picturePreview);
    EXPECT_EQ(Main().measuringMode, 0);
    EXPECT_EQ(Main().activeStationId.ToUtf8(), "0");
    EXPECT_TRUE(Main().profileList.IsEmpty());
    EXPECT_FALSE(Main().railReady || Main().profileChosen || Main().instrumentBumped || Main().manualCalibration);
    EXPECT_TRUE(Main().sounds);
    EXPECT_TRUE(Main().markerIdsShown);
    EXPECT_TRUE(Main().refreshItems) << "the palette is closed: nothing refreshed it yet";
    EXPECT_EQ(measuringState.stationMode, 2) << "nothing stored with the project";
}

// A stored project is read as a point-cloud station: the second station record
// becomes the live one, with the scan's marker part and pen.
TEST_F(ProjectReset, StoredProjectIsAPointCloudStation)
{
    measuringState.stationMode = 1;
    Main().firstStation.inUse = true;
    Main().secondStation.inUse = false;
    measuringState.stationX = 1.0;
    Main().secondStation.position = {2.0, 0, 0};
    ASSERT_TRUE(Main().SaveModuleData());
    Main().ResetMeasuringSession();
    EXPECT_EQ(measuringState.stationMode, 2);
    EXPECT_EQ(Main().stationPen, 15);
    EXPECT_EQ(measuringState.stationSymbolResource, 32502);
    EXPECT_EQ(measuringState.stationX, 2.0);
    EXPECT_TRUE(Main().secondStation.inUse);
}

TEST_F(ProjectReset, TeamworkProjectsRemindOfTheReservationOnce)
{
    Main().ResetMeasuringSession();
    EXPECT_TRUE(DG::RecordedAlerts().empty());

    Host().project_.teamwork.SetCurrentUser(2, "anna");
    Main().ResetMeasuringSession();
    ASSERT_EQ(DG::RecordedAlerts().size(), 1u);
    const DG::AlertRecord& alert = DG::RecordedAlerts().front();
    EXPECT_EQ(alert.type, -3);
    EXPECT_TRUE(alert.title.IsEmpty());
    EXPECT_EQ(alert.text1.ToUtf8(),
              "Überzeugen Sie sich bitte, Ihr aktueller Standort und die zugehörigen Standortpunkte sind reserviert.");
    EXPECT_TRUE(alert.text2.IsEmpty());
    EXPECT_TRUE(alert.button1.IsEmpty());
    EXPECT_EQ(alert.button2.ToUtf8(), "OK");
    EXPECT_TRUE(alert.button3.IsEmpty());
}

TEST_F(ProjectReset, AutomaticPicturesFollowTheUsersRecord)
{
    Main().userData.GetCurrentUserData(measuringState, Main()).automaticPictures = true;
    ASSERT_TRUE(Main().SaveModuleData());
    Main().ResetMeasuringSession();
    EXPECT_EQ(Item(69), 1.0);
}
