#include <gtest/gtest.h>

#include "PanoramaCameraFixture.hpp"
#include "frame/AddOnGlobals.hpp"

namespace
{

// The observer follows the 3D window's sight, the palette is open, and the
// camera looks from the station 30° left of east and 10° up, 12 m ahead.
class PanoramaObserver : public OpenPanoramaPalette
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(OpenPanoramaPalette::SetUp());
        LookFrom(StationPosition(), 30.0, 10.0, 12.0);
        Window().GetSight().Attach(Main().cameraObserver);
        SetSlider(DirectionSlider, 1111);
        SetSlider(TiltSlider, 222);
        notifications_ = Window().GetSight().GetNotificationCount();
    }
    std::uint32_t Notifications() { return Window().GetSight().GetNotificationCount() - notifications_; }

    std::uint32_t notifications_ = 0;
};

// The user turns and zooms the view without moving: the camera is left as it is,
// and the sliders show the new direction, 50° (3600 - 500) and 15° up (900 + 150),
// and the new cone of 45°.
TEST_F(PanoramaObserver, ATurnOnTheStationMovesNothingAndShowsOnTheSliders)
{
    Window().Turn(20.0, 5.0);
    ExpectNear(Camera().GetViewPoint(), StationPosition());
    ExpectNear(Direction(), DirectionOf(50.0, 15.0));
    EXPECT_EQ(Window().GetRedrawCount(), 0);
    EXPECT_EQ(Notifications(), 1u);
    EXPECT_EQ(Slider(DirectionSlider), 3100);
    EXPECT_EQ(Slider(TiltSlider), 1050);
    EXPECT_EQ(Slider(ConeSlider), 600);
    EXPECT_EQ(cameraUpdateBusy, 0);

    ASSERT_TRUE(Window().Zoom(45.0));
    ExpectNear(Direction(), DirectionOf(50.0, 15.0));
    EXPECT_EQ(Window().GetRedrawCount(), 0);
    EXPECT_EQ(Slider(ConeSlider), 450);
}

// A slider dragged to tenths of a degree keeps them: the camera the palette sets
// is not written back in whole degrees. 1115 looks at 248.5°, 222 at 67.8° down.
TEST_F(PanoramaObserver, ADraggedSliderKeepsItsValue)
{
    DG::DragSlider(CameraControPalette::DialogId, DirectionSlider, 1115);
    ExpectNear(Direction(), DirectionOf(248.5, -67.8));
    EXPECT_EQ(Slider(DirectionSlider), 1115);
    EXPECT_EQ(Slider(TiltSlider), 222);
    EXPECT_EQ(cameraUpdateBusy, 0);
}

// Its own camera change notifies it once more, and it returns at once.
TEST_F(PanoramaObserver, AMovedCameraComesBackToTheStation)
{
    Window().Walk(0.01, 0.0, 0.0);
    ExpectNear(Camera().GetViewPoint(), StationPosition());
    ExpectNear(Direction(), DirectionOf(30.0, 10.0));
    EXPECT_NEAR(Camera().GetPerspectiveData().distance, StationDistance, 1e-9);
    EXPECT_EQ(Window().GetRedrawCount(), 1);
    EXPECT_EQ(Notifications(), 2u);
    EXPECT_EQ(Slider(DirectionSlider), 3300);
    EXPECT_EQ(Slider(TiltSlider), 1000);
    EXPECT_EQ(Slider(ConeSlider), 600);
    EXPECT_EQ(Window().GetProjection().persp.pos.y, StationPosition().y);
    EXPECT_EQ(cameraUpdateBusy, 0);
}

TEST_F(PanoramaObserver, AnOrbitTurnsTheViewButNotThePosition)
{
    Window().Orbit(90.0);
    ExpectNear(Camera().GetViewPoint(), StationPosition());
    // Orbiting a quarter turn about the target turns the view by as much.
    ExpectNear(Direction(), DirectionOf(120.0, 10.0));
    EXPECT_EQ(Slider(DirectionSlider), 2400);
    EXPECT_EQ(Slider(TiltSlider), 1000);
}

// A station camera whose target lies on it keeps the user's view distance.
TEST_F(PanoramaObserver, StationCameraWithoutTargetDistanceKeepsTheViewDistance)
{
    Main().navigatorPalette.trackedCamera = AddStationCamera(60.0 * Degree, StationPosition());
    Window().Walk(0.0, 0.01, 0.0);
    ExpectNear(Camera().GetViewPoint(), StationPosition());
    EXPECT_NEAR(Camera().GetPerspectiveData().distance, 12.0, 1e-9);
}

TEST_F(PanoramaObserver, NotificationsItDoesNotActOn)
{
    const struct
    {
        const char* name;
        std::uint8_t busyBefore;
        std::int32_t frontWindow;
        bool stationCamera;
        std::uint8_t busyAfter;
    } cases[] = {
        {"while the camera-update flag is set", 1, APIWind_3DModelID, true, 1},
        {"a floor plan in front", 0, APIWind_FloorPlanID, true, 0},
        {"no station camera", 0, APIWind_3DModelID, false, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        LookFrom(StationPosition(), 30.0, 10.0, 12.0);
        SetSlider(DirectionSlider, 1111);
        cameraUpdateBusy = c.busyBefore;
        Model().frontWindow = c.frontWindow;
        Main().navigatorPalette.trackedCamera = c.stationCamera ? station_ : API_Guid {};
        Window().Walk(1.0, 0.0, 0.0);
        ExpectNear(Camera().GetViewPoint(), {10.0 + std::cos(30.0 * Degree), 20.0 + std::sin(30.0 * Degree), 1.5});
        EXPECT_EQ(Window().GetRedrawCount(), 0);
        EXPECT_EQ(Slider(DirectionSlider), 1111);
        EXPECT_EQ(cameraUpdateBusy, c.busyAfter);
    }
}

// A closed palette is left closed; the camera still comes back.
TEST_F(PanoramaObserver, ClosedPaletteStaysClosed)
{
    Main().cameraPalette.Close();
    Window().Walk(0.5, 0.0, 0.0);
    ExpectNear(Camera().GetViewPoint(), StationPosition());
    EXPECT_FALSE(DG::IsOpen(CameraControPalette::DialogId));
    EXPECT_EQ(Slider(DirectionSlider), 1111);
}

}  // namespace
