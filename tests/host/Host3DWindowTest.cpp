// The simulated host's 3D window: one sight whose camera is the 3D projection,
// observers told at once, redraws counted.
#include <memory>

#include "HostApiTestSupport.hpp"
#include "Modeler/Sight.hpp"

namespace
{

// Counts what it is told and keeps the last camera.
class CountingObserver : public Modeler::ISightObserver
{
public:
    void OnCameraChanged(const Modeler::Camera& camera) override
    {
        ++told;
        last = camera;
    }
    int told = 0;
    Modeler::Camera last;
};

class Host3DWindow : public HostApiTest
{
protected:
    Modeler::Sight& Sight()
    {
        Modeler::Sight* sight = nullptr;
        EXPECT_EQ(HostGet3DWindowSight(&sight), NoError);
        return *sight;
    }
    static API_3DProjectionInfo Projection(double viewCone, const API_Coord& pos, const API_Coord& target)
    {
        API_3DProjectionInfo projection {};
        projection.cameraGuid = APIGuidFromString("{01234567-89AB-CDEF-0123-456789ABCDEF}");
        projection.isPersp = true;
        projection.persp.viewCone = viewCone;
        projection.persp.cameraZ = 1.6;
        projection.persp.targetZ = 1.6;
        projection.persp.pos = pos;
        projection.persp.target = target;
        return projection;
    }
};

TEST_F(Host3DWindow, ProjectionAndSightCameraAreOneState)
{
    CountingObserver observer;
    Sight().Attach(observer);
    API_3DProjectionInfo set = Projection(50.0, {1.0, 2.0}, {4.0, 6.0});
    ASSERT_EQ(HostEnvironmentRequest(FourCC("CP3D"), &set, nullptr), NoError);
    EXPECT_EQ(observer.told, 1);
    const Geometry::Vector3<double> viewPoint = observer.last.GetViewPoint();
    EXPECT_EQ(viewPoint.x, 1.0);
    EXPECT_EQ(viewPoint.z, 1.6);
    EXPECT_EQ(observer.last.GetTargetPoint().y, 6.0);
    EXPECT_EQ(observer.last.GetPerspectiveData().viewCone, 50.0);

    API_3DProjectionInfo read {};
    ASSERT_EQ(HostEnvironmentRequest(FourCC("GP3D"), &read, nullptr), NoError);
    EXPECT_EQ(read.cameraGuid, set.cameraGuid);
    EXPECT_EQ(read.persp.distance, 5.0);
    EXPECT_EQ(read.persp.target.x, 4.0);

    // The same projection again changes nothing and tells nobody.
    ASSERT_EQ(HostEnvironmentRequest(FourCC("CP3D"), &set, nullptr), NoError);
    EXPECT_EQ(observer.told, 1);

    Modeler::Camera turned = Sight().GetCamera();
    turned.SetView(1, 0.0, {1.0, 2.0, 1.6}, {1.0, 12.0, 1.6}, 0.0, 40.0, 1, 0, 1, 0, 1, 0);
    Sight().SetCamera(turned);
    EXPECT_EQ(observer.told, 2);
    ASSERT_EQ(HostEnvironmentRequest(FourCC("GP3D"), &read, nullptr), NoError);
    EXPECT_EQ(read.persp.distance, 10.0);
    EXPECT_EQ(read.persp.viewCone, 40.0);
}

TEST_F(Host3DWindow, UnusableProjectionsAreRefused)
{
    const struct
    {
        const char* name;
        API_3DProjectionInfo projection;
    } cases[] = {
        {"no view cone", Projection(0.0, {1.0, 2.0}, {4.0, 6.0})},
        {"a half turn", Projection(180.0, {1.0, 2.0}, {4.0, 6.0})},
        {"target on the camera", Projection(50.0, {1.0, 2.0}, {1.0, 2.0})},
    };
    const Modeler::Camera before = Sight().GetCamera();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        API_3DProjectionInfo projection = c.projection;
        EXPECT_EQ(HostEnvironmentRequest(FourCC("CP3D"), &projection, nullptr), APIERR_BADPARS);
        EXPECT_TRUE(Sight().GetCamera() == before);
    }
}

// A projection that follows a camera element looks through that camera.
TEST_F(Host3DWindow, ProjectionFollowingACameraLooksThroughIt)
{
    SimHost::StoredElement camera;
    camera.record.header.typeID = API_CameraID;
    camera.record.header.guid = Model().NewGuid();
    camera.record.camera.position = {3.0, 4.0};
    camera.record.camera.cameraZ = 1.7;
    camera.record.camera.target = {3.0, 9.0};
    camera.record.camera.targetZ = 1.7;
    camera.record.camera.viewCone = 3.14159265358979323846 / 2.0;
    camera.record.camera.rollAngle = 3.14159265358979323846 / 18.0;
    Model().content.elements.push_back(camera);
    API_3DProjectionInfo follow {};
    follow.cameraGuid = camera.record.header.guid;
    bool followsCamera = true;
    ASSERT_EQ(HostEnvironmentRequest(FourCC("CP3D"), &follow, &followsCamera), NoError);
    const Modeler::Camera& shown = Sight().GetCamera();
    EXPECT_EQ(shown.GetViewPoint().y, 4.0);
    EXPECT_EQ(shown.GetTargetPoint().y, 9.0);
    EXPECT_NEAR(shown.GetRoll(), 10.0, 1e-12);
    EXPECT_NEAR(shown.GetPerspectiveData().viewCone, 90.0, 1e-12);
    API_3DProjectionInfo read {};
    ASSERT_EQ(HostEnvironmentRequest(FourCC("GP3D"), &read, nullptr), NoError);
    EXPECT_EQ(read.cameraGuid, follow.cameraGuid);
}

TEST_F(Host3DWindow, RedrawsAreCounted)
{
    EXPECT_EQ(host->Fact("redraws-3d"), "0");
    EXPECT_EQ(HostAutomationRequest(FourCC("RDRW"), nullptr, nullptr), NoError);
    EXPECT_EQ(HostAutomationRequest(FourCC("RDRW"), nullptr, nullptr), NoError);
    EXPECT_EQ(host->Fact("redraws-3d"), "2");
}

// An observer that goes leaves the sight; one detached is no longer told.
TEST_F(Host3DWindow, ObserversThatGoAreNotTold)
{
    CountingObserver staying;
    auto going = std::make_unique<CountingObserver>();
    Sight().Attach(staying);
    Sight().Attach(*going);
    Sight().Attach(staying);
    going.reset();
    Sight().SetCamera(Sight().GetCamera());
    EXPECT_EQ(staying.told, 1);
    Sight().Detach(staying);
    Sight().SetCamera(Sight().GetCamera());
    EXPECT_EQ(staying.told, 1);
    EXPECT_EQ(host->Fact("sight-notifications"), "1");
}

}  // namespace
