#include <algorithm>

#include "DG/DG.hpp"
#include "frame/Survanto.hpp"

namespace {

constexpr double Step = 10.0;

double Slider(std::int16_t item) { return DG::GetItemValue(CameraControPalette::DialogId, item); }

void SetSlider(std::int16_t item, double value) { DG::SetItemValue(CameraControPalette::DialogId, item, value); }

// A full turn is 3600 tenths of a degree; 3600 itself stays.
double WrappedDirection(double value)
{
    if (value < 0.0) return value + 3600.0;
    if (value > 3600.0) return value - 3600.0;
    return value;
}

}  // namespace

std::int32_t Survanto::StepPanoramaCamera(std::int32_t step)
{
    if (cameraPalette.GetOpenMode() == Closed) return cameraPalette.GetOpenMode();
    switch (step) {
        case 1:
        case 2:
            SetSlider(CameraControPalette::ViewConeItem,
                      std::clamp(Slider(CameraControPalette::ViewConeItem) + (step == 1 ? -Step : Step), 1.0, 1600.0));
            return cameraPalette.ApplyViewCone();
        case 3:
        case 4:
            SetSlider(CameraControPalette::DirectionItem,
                      WrappedDirection(Slider(CameraControPalette::DirectionItem) + (step == 3 ? -Step : Step)));
            cameraPalette.ApplyViewDirection();
            break;
        case 5:
        case 6:
            SetSlider(CameraControPalette::TiltItem,
                      std::clamp(Slider(CameraControPalette::TiltItem) + (step == 5 ? Step : -Step), 0.0, 1800.0));
            cameraPalette.ApplyViewDirection();
            break;
        default: break;
    }
    return cameraPalette.GetOpenMode();
}
