#pragma once
#include "framework/CDialogBase.hpp"

// Three sliders that turn and zoom the 3D window's camera while it looks from
// the station camera of a point cloud; the camera stays on the station.
class CameraControPalette : public CDialogBase
{
public:
    static constexpr std::int16_t DialogId = 32444;
    // Sliders, in tenths of a degree: the view cone; 3600 minus the azimuth; the
    // elevation plus 90° (900 = level).
    static constexpr std::int16_t ViewConeItem = 2;
    static constexpr std::int16_t DirectionItem = 5;
    static constexpr std::int16_t TiltItem = 8;

    CameraControPalette();
    std::int16_t DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) override;

    void ShowCameraValues();
    void ShowCameraDirection();
    // 1 when the camera took the slider's view cone, 0 when nothing changed.
    std::int32_t ApplyViewCone();
    void ApplyViewDirection();
};
