#include <gtest/gtest.h>

#include "CameraServices.hpp"
#include "PanoramaCameraFixture.hpp"
#include "frame/AddOnGlobals.hpp"

namespace
{

// The user opens navigator views in turn; the host fires its view event.
class PanoramaViews : public PanoramaCameraFixture
{
protected:
    void SetUp() override
    {
        PanoramaCameraFixture::SetUp();
        Main().navigatorPalette.trackedCamera = API_Guid {};
        Model().frontWindow = APIWind_FloorPlanID;
        LookFrom({0.0, 0.0, 10.0}, 200.0, -20.0);
        keptProjection = API_3DProjectionInfo {};
    }
    void TearDown() override
    {
        PanoramaCameraFixture::TearDown();
        keptProjection = API_3DProjectionInfo {};
    }

    void LinkToACloud(const API_Guid& camera)
    {
        const API_Guid cloud = AddElementOfType(API_ObjectID);
        Model().Find(camera)->links.push_back({cloud, 1});
        Model().Find(cloud)->links.push_back({camera, 1});
    }
    // The view of the camera opens in the 3D window, then its event arrives.
    void OpenCameraView(const API_Guid& camera, std::int32_t currentDatabase = APIWind_FloorPlanID)
    {
        const API_Guid view = SimHost::CameraViewItem(*Model().Find(camera)).guid;
        std::string text = APIGuid2GSGuid(view).ToText();
        ASSERT_EQ(HostAutomationRequest(FourCC("GOVW"), text.data(), nullptr), NoError);
        Model().currentDatabase = API_DatabaseInfo {};
        Model().currentDatabase.typeID = currentDatabase;
        SendViewOpened(view);
    }
    void SendViewOpened(const API_Guid& item)
    {
        API_NotifyViewEventType event;
        event.notifID = 8;
        event.mapId = 1;
        event.itemGuid = item;
        Host().viewEventHandler_(&event);
    }
    bool Observed() { return Window().GetSight().IsAttached(Main().cameraObserver); }
};

TEST_F(PanoramaViews, AScanCameraViewIsFollowedOtherViewsAreNot)
{
    LinkToACloud(station_);
    OpenCameraView(station_);
    EXPECT_EQ(Main().navigatorPalette.trackedCamera, station_);
    EXPECT_EQ(keptProjection.cameraGuid, station_);
    EXPECT_TRUE(Observed());
    EXPECT_TRUE(DG::IsOpen(CameraControPalette::DialogId));
    EXPECT_EQ(Slider(CameraControPalette::DirectionItem), 3600);
    EXPECT_EQ(Slider(CameraControPalette::TiltItem), 900);
    EXPECT_TRUE(Main().trackedCamera == Camera());
    ExpectNear(Camera().GetViewPoint(), StationPosition());
    EXPECT_EQ(cameraUpdateBusy, 0);

    // A user's walk comes back to the station.
    Window().Walk(2.0, 0.0, 0.0);
    ExpectNear(Camera().GetViewPoint(), StationPosition());

    // A view that is no camera's closes the palette; the observer stays.
    SendViewOpened(APIGuidFromString("{11111111-2222-3333-4444-555555555555}"));
    EXPECT_EQ(Main().navigatorPalette.trackedCamera, API_Guid {});
    EXPECT_FALSE(DG::IsOpen(CameraControPalette::DialogId));
    EXPECT_TRUE(Observed());
    EXPECT_EQ(keptProjection.cameraGuid, station_);
    EXPECT_EQ(cameraUpdateBusy, 0);

    // A scan camera without its point cloud is not followed: the observer goes.
    const API_Guid lonely = AddStationCamera(60.0 * Degree, {10.0, 25.0, 1.5});
    OpenCameraView(station_);
    ASSERT_TRUE(DG::IsOpen(CameraControPalette::DialogId));
    OpenCameraView(lonely);
    EXPECT_EQ(Main().navigatorPalette.trackedCamera, API_Guid {});
    EXPECT_EQ(keptProjection.cameraGuid, API_Guid {});
    EXPECT_FALSE(DG::IsOpen(CameraControPalette::DialogId));
    EXPECT_FALSE(Observed());
    const Vector moved = Camera().GetViewPoint();
    Window().Walk(2.0, 0.0, 0.0);
    EXPECT_NEAR(Camera().GetViewPoint().y, moved.y + 2.0, 1e-9);
}

// The links are asked in the floor plan; whatever view is current comes back, and
// the camera-update flag is cleared, whether the camera is followed or not.
TEST_F(PanoramaViews, TheCurrentDatabaseAndTheFlagComeBackOnEveryWay)
{
    LinkToACloud(station_);
    const API_Guid lonely = AddStationCamera(60.0 * Degree, {10.0, 25.0, 1.5});
    const struct
    {
        const char* name;
        API_Guid camera;
        bool followed;
    } cases[] = {{"a scan camera", station_, true}, {"a camera without its cloud", lonely, false}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        OpenCameraView(c.camera, APIWind_3DModelID);
        EXPECT_EQ(Model().currentDatabase.typeID, APIWind_3DModelID);
        EXPECT_EQ(cameraUpdateBusy, 0);
        EXPECT_EQ(Main().navigatorPalette.trackedCamera, c.followed ? c.camera : API_Guid {});
        EXPECT_EQ(DG::IsOpen(CameraControPalette::DialogId), c.followed);
    }
}

}  // namespace
