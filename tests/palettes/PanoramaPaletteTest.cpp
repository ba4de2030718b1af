#include <gtest/gtest.h>

#include <cmath>

#include "PanoramaCameraFixture.hpp"
#include "frame/AddOnGlobals.hpp"

namespace
{

constexpr short Palette = CameraControPalette::DialogId;

using PanoramaPalette = OpenPanoramaPalette;

TEST_F(PanoramaPalette, OpensWithItsSlidersBoundsAndGuid)
{
    ASSERT_TRUE(DG::IsOpen(Palette));
    const struct
    {
        short item;
        const char* bounds;
    } sliders[] = {{ConeSlider, "5 1600"}, {DirectionSlider, "0 3600"}, {TiltSlider, "0 1800"}};
    for (const auto& s : sliders) EXPECT_EQ(Host().Fact("item 32444 " + std::to_string(s.item) + " bounds"), s.bounds);
    EXPECT_EQ(Main().cameraPalette.GetPaletteGuid().ToText(true), "{2FDEE364-A7DD-4A17-B2DB-D0A0E158777C}");
    EXPECT_EQ(DG::GetDialog(Palette)->title.ToUtf8(), "Varo Panorama Kontolle");
    // Opened looking due east and level with a 60° cone.
    EXPECT_EQ(Slider(ConeSlider), 600);
    EXPECT_EQ(Slider(DirectionSlider), 3600);
    EXPECT_EQ(Slider(TiltSlider), 900);
}

TEST_F(PanoramaPalette, CameraDirectionShowsOnTheSliders)
{
    // A vertical view has no azimuth of its own.
    constexpr double NoAzimuth = -1.0;
    const struct
    {
        const char* name;
        double azimuth;
        double elevation;
        double direction;
        double tilt;
    } cases[] = {
        {"due east", 0.0, 0.0, 3600, 900},           {"due north", 90.0, 0.0, 2700, 900},
        {"45.9 degrees", 45.9, 0.0, 3150, 900},      {"level west", 180.0, 0.0, 1800, 900},
        {"level south-west", 225.0, 0.0, 1350, 900}, {"30 up", 0.0, 30.0, 3600, 1200},
        {"30 down", 0.0, -30.0, 3600, 600},          {"straight up", 0.0, 90.0, NoAzimuth, 1800},
        {"straight down", 0.0, -90.0, NoAzimuth, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        LookFrom(StationPosition(), c.azimuth, c.elevation);
        Main().cameraPalette.ShowCameraValues();
        EXPECT_EQ(Slider(ConeSlider), 600);
        if (c.direction != NoAzimuth)
        {
            EXPECT_EQ(Slider(DirectionSlider), c.direction);
        }
        EXPECT_EQ(Slider(TiltSlider), c.tilt);
    }
}

// The user moves a slider: the camera turns on the station, looking so.
TEST_F(PanoramaPalette, SlidersTurnTheCameraOnTheStation)
{
    const struct
    {
        double direction;
        double tilt;
        double azimuth;
        double elevation;
    } cases[] = {{3600, 900, 0.0, 0.0},
                 {2700, 900, 90.0, 0.0},
                 {3600, 1800, 0.0, 90.0},
                 {1800, 1200, 180.0, 30.0},
                 {3150, 600, 45.0, -30.0}};
    int redraws = 0;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.direction) + " " + std::to_string(c.tilt));
        LookFrom({11.0, 22.0, 3.0}, 100.0, 10.0);
        SetSlider(TiltSlider, c.tilt);
        DG::ChangeItem(Palette, DirectionSlider, c.direction);
        ExpectNear(Camera().GetViewPoint(), StationPosition());
        ExpectNear(Direction(), DirectionOf(c.azimuth, c.elevation));
        EXPECT_NEAR(Camera().GetPerspectiveData().distance, StationDistance, 1e-9);
        EXPECT_EQ(Camera().GetPerspectiveData().viewCone, 60.0);
        EXPECT_EQ(Window().GetRedrawCount(), ++redraws);
        const API_3DProjectionInfo shown = Window().GetProjection();
        EXPECT_EQ(shown.persp.pos.x, StationPosition().x);
        EXPECT_EQ(shown.persp.cameraZ, StationPosition().z);
    }
}

TEST_F(PanoramaPalette, ViewConeRescalesTheStationCameraZoom)
{
    Main().trackedCamera.SetZoomDat({2.0, 1.5, 0.25, -0.5});
    LookFrom(StationPosition(), 90.0, 0.0);
    DG::ChangeItem(Palette, ConeSlider, 300);
    const double k = std::sin(30.0 * Degree) / std::sin(15.0 * Degree);
    EXPECT_NEAR(k, 1.93, 0.005);
    const Modeler::ZoomData zoom = Camera().GetZoomDat();
    EXPECT_NEAR(zoom[0], 2.0 * k, 1e-6);
    EXPECT_NEAR(zoom[1], 1.5 * k, 1e-6);
    EXPECT_EQ(zoom[2], 0.25);
    EXPECT_EQ(zoom[3], -0.5);
    EXPECT_EQ(Camera().GetPerspectiveData().viewCone, 30.0);
    ExpectNear(Camera().GetViewPoint(), StationPosition());
    ExpectNear(Direction(), DirectionOf(90.0, 0.0));
    EXPECT_EQ(Window().GetProjection().cameraGuid, station_);
    EXPECT_EQ(Window().GetRedrawCount(), 1);
}

// A station camera without a view cone gives no zoom factor: the zoom stays.
TEST_F(PanoramaPalette, StationCameraWithoutViewConeKeepsTheZoom)
{
    Main().navigatorPalette.trackedCamera = AddStationCamera(0.0, {15.0, 20.0, 1.5});
    Main().trackedCamera.SetZoomDat({2.0, 1.5, 0.0, 0.0});
    Modeler::Camera zoomed = Camera();
    zoomed.SetZoomDat({3.0, 4.0, 0.0, 0.0});
    Window().GetSight().SetCamera(zoomed);
    DG::ChangeItem(Palette, ConeSlider, 300);
    EXPECT_EQ(Camera().GetPerspectiveData().viewCone, 30.0);
    EXPECT_EQ(Camera().GetZoomDat(), (Modeler::ZoomData {3.0, 4.0, 0.0, 0.0}));
}

// Without the 3D window in front and a station camera in it, nothing moves.
TEST_F(PanoramaPalette, PreconditionsLeaveEverythingAsItIs)
{
    const API_Guid object = AddElementOfType(API_ObjectID);
    const struct
    {
        const char* name;
        std::int32_t frontWindow;
        API_Guid stationCamera;
    } cases[] = {
        {"floor plan in front", APIWind_FloorPlanID, station_},
        {"no station camera", APIWind_3DModelID, API_Guid {}},
        {"not a camera", APIWind_3DModelID, object},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Model().frontWindow = c.frontWindow;
        Main().navigatorPalette.trackedCamera = c.stationCamera;
        LookFrom({11.0, 22.0, 3.0}, 100.0, 10.0);
        const Modeler::Camera before = Camera();
        const std::uint32_t notifications = Window().GetSight().GetNotificationCount();
        SetSlider(DirectionSlider, 1234);
        SetSlider(TiltSlider, 567);
        Main().cameraPalette.ShowCameraValues();
        DG::ChangeItem(Palette, ConeSlider, 300);
        DG::ChangeItem(Palette, DirectionSlider, 2700);
        EXPECT_TRUE(Camera() == before);
        EXPECT_EQ(Window().GetSight().GetNotificationCount(), notifications);
        EXPECT_EQ(Window().GetProjection().persp.pos.x, 11.0);
        EXPECT_EQ(Window().GetRedrawCount(), 0);
        EXPECT_EQ(Slider(TiltSlider), 567);
    }
}

// The camera-control menu moves a slider by a step and the camera with it.
TEST_F(PanoramaPalette, CameraMenuStepsMoveSliderAndCamera)
{
    const struct
    {
        const char* name;
        std::int32_t step;
        short item;
        double from;
        double to;
    } cases[] = {
        {"zoom in at 5", 1, ConeSlider, 5, 1},
        {"zoom out at 1595", 2, ConeSlider, 1595, 1600},
        {"turn left at 5", 3, DirectionSlider, 5, 3595},
        {"turn left at 10", 3, DirectionSlider, 10, 0},
        {"turn right at 3595", 4, DirectionSlider, 3595, 5},
        {"turn right at 3590", 4, DirectionSlider, 3590, 3600},
        {"turn up at 1795", 5, TiltSlider, 1795, 1800},
        {"turn down at 5", 6, TiltSlider, 5, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        SetSlider(ConeSlider, 600);
        SetSlider(DirectionSlider, 3600);
        SetSlider(TiltSlider, 900);
        SetSlider(c.item, c.from);
        const int redraws = Window().GetRedrawCount();
        Menu(32502, c.step);
        EXPECT_EQ(Slider(c.item), c.to);
        EXPECT_EQ(Window().GetRedrawCount(), redraws + 1);
        ExpectNear(Camera().GetViewPoint(), StationPosition());
        const double cone = c.item == ConeSlider ? c.to / 10.0 : 60.0;
        EXPECT_NEAR(Camera().GetPerspectiveData().viewCone, cone, 1e-12);
        const double azimuth = c.item == DirectionSlider ? (3600.0 - c.to) / 10.0 : 0.0;
        const double elevation = c.item == TiltSlider ? (c.to - 900.0) / 10.0 : 0.0;
        ExpectNear(Direction(), DirectionOf(azimuth, elevation));
    }
}

TEST_F(PanoramaPalette, CameraMenuChangesNothingWhileThePaletteIsClosed)
{
    Main().cameraPalette.Close();
    SetSlider(DirectionSlider, 3595);
    const Modeler::Camera before = Camera();
    for (std::int32_t step = 1; step <= 6; ++step) Menu(32502, step);
    EXPECT_EQ(Slider(DirectionSlider), 3595);
    EXPECT_TRUE(Camera() == before);
    EXPECT_EQ(Window().GetRedrawCount(), 0);
}

}  // namespace
