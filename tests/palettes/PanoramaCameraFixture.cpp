#include "PanoramaCameraFixture.hpp"

#include <cmath>

#include "frame/AddOnGlobals.hpp"

void PanoramaCameraFixture::SetUp()
{
    MainObjectFixture::SetUp();
    cameraUpdateBusy = 0;
    Model().frontWindow = APIWind_3DModelID;
    station_ = AddStationCamera(60.0 * Degree, {15.0, 20.0, 1.5});
    Main().navigatorPalette.trackedCamera = station_;
    LookFrom(StationPosition(), 0.0, 0.0);
    Window().FollowCamera(station_, nullptr);
}

void PanoramaCameraFixture::TearDown()
{
    MainObjectFixture::TearDown();
    cameraUpdateBusy = 0;
}

void OpenPanoramaPalette::SetUp()
{
    PanoramaCameraFixture::SetUp();
    ASSERT_EQ(Main().cameraPalette.OpenPalette(4), 0);
}

PanoramaCameraFixture::Vector PanoramaCameraFixture::DirectionOf(double azimuth, double elevation)
{
    const double a = azimuth * Degree, e = elevation * Degree;
    return {std::cos(e) * std::cos(a), std::cos(e) * std::sin(a), std::sin(e)};
}

API_Guid PanoramaCameraFixture::AddStationCamera(double viewConeRadians, const Vector& target)
{
    SimHost::StoredElement camera;
    camera.record.header.typeID = API_CameraID;
    camera.record.header.guid = Model().NewGuid();
    camera.record.camera.position = {StationPosition().x, StationPosition().y};
    camera.record.camera.cameraZ = StationPosition().z;
    camera.record.camera.target = {target.x, target.y};
    camera.record.camera.targetZ = target.z;
    camera.record.camera.viewCone = viewConeRadians;
    Model().content.elements.push_back(camera);
    return camera.record.header.guid;
}

API_Guid PanoramaCameraFixture::AddElementOfType(API_ElemTypeID type)
{
    SimHost::StoredElement element;
    element.record.header.typeID = type;
    element.record.header.guid = Model().NewGuid();
    Model().content.elements.push_back(element);
    return element.record.header.guid;
}

void PanoramaCameraFixture::LookFrom(const Vector& point, double azimuth, double elevation, double distance)
{
    const Vector d = DirectionOf(azimuth, elevation);
    Modeler::Camera camera = Camera();
    camera.SetView(Modeler::Camera::PerspectiveProjection, 0.0, point,
                   {point.x + d.x * distance, point.y + d.y * distance, point.z + d.z * distance}, 0.0, 60.0, 1.0, 0.0, 1.0, 0.0,
                   1.0, 0.0);
    Window().GetSight().SetCamera(camera);
}

void ExpectNear(const Geometry::Vector3<double>& actual, const Geometry::Vector3<double>& expected, double tolerance)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}
