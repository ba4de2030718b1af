#pragma once
#include "DG/DG.hpp"
#include "MainObjectFixture.hpp"
#include "Modeler/Sight.hpp"
#include "palettes/CameraControPalette.hpp"

// The 3D window in front, looking from a station camera (type 26) at (10, 20)
// with its camera 1.5 m high and its target 5 m due east at the same height,
// a 60° view cone; the main object remembers it as its station camera.
class PanoramaCameraFixture : public MainObjectFixture
{
protected:
    using Vector = Geometry::Vector3<double>;
    static constexpr double StationDistance = 5.0;
    static constexpr short ConeSlider = CameraControPalette::ViewConeItem;
    static constexpr short DirectionSlider = CameraControPalette::DirectionItem;
    static constexpr short TiltSlider = CameraControPalette::TiltItem;

    void SetUp() override;
    void TearDown() override;

    static Vector StationPosition() { return {10.0, 20.0, 1.5}; }
    static Vector DirectionOf(double azimuth, double elevation);
    API_Guid AddStationCamera(double viewConeRadians, const Vector& target);
    API_Guid AddElementOfType(API_ElemTypeID type);
    // The 3D window's camera looks from the point in the direction (degrees).
    void LookFrom(const Vector& point, double azimuth, double elevation, double distance = StationDistance);

    SimHost::Window3D& Window() { return Host().window3D_; }
    const Modeler::Camera& Camera() { return Window().GetCamera(); }
    Vector Direction() { return Camera().GetPerspectiveData().direction; }
    static double Slider(std::int16_t item) { return DG::GetItemValue(CameraControPalette::DialogId, item); }
    static void SetSlider(std::int16_t item, double value) { DG::SetItemValue(CameraControPalette::DialogId, item, value); }

    API_Guid station_ {};
};

// The same with the panorama palette open.
class OpenPanoramaPalette : public PanoramaCameraFixture
{
protected:
    void SetUp() override;
};

void ExpectNear(const Geometry::Vector3<double>& actual, const Geometry::Vector3<double>& expected, double tolerance = 1e-9);
