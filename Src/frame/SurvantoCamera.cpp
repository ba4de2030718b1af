#include <algorithm>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "Modeler/Sight.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/CameraUpdateScope.hpp"
#include "frame/Survanto.hpp"
#include "framework/FloorPlanDatabaseScope.hpp"

namespace
{

constexpr double Step = 10.0;
constexpr std::int32_t CameraPaletteFlags = 4;

// A scan camera is followed only while its point-cloud object links to it in the floor plan.
bool HasLinkedElements(const API_Guid& camera)
{
    const FloorPlanDatabaseScope floorPlan;
    std::vector<API_Guid> linked;
    return HostGetElementLinks(&camera, &linked) == NoError && !linked.empty();
}

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
    switch (step)
    {
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

// A navigator item the host cannot give counts as no camera.
void Survanto::OnCameraViewOpened(const API_NotifyViewEventType& event)
{
    const CameraUpdateScope update;
    API_Guid& station = navigatorPalette.trackedCamera;
    station = API_Guid {};
    API_Guid itemGuid = event.itemGuid;
    API_NavigatorItem item;
    if (HostNavigatorRequest(FourCC("GNIT"), &itemGuid, &item) == NoError && item.itemType == API_CameraNavItem &&
        item.elementGuid != API_Guid {})
    {
        station = HasLinkedElements(item.elementGuid) ? item.elementGuid : API_Guid {};
        keptProjection.cameraGuid = station;
        FollowStationCamera();
    }
    if (station == API_Guid {})
    {
        if (cameraPalette.GetOpenMode() != Closed) cameraPalette.Close();
    }
    else
    {
        if (cameraPalette.GetOpenMode() == Closed) cameraPalette.OpenPalette(CameraPaletteFlags);
        cameraPalette.ShowCameraDirection();
    }
    UpdateMainPalette();
}

// The observer follows the 3D window's sight while a station camera is remembered,
// whose view the main object keeps a copy of.
void Survanto::FollowStationCamera()
{
    Modeler::Sight* sight = nullptr;
    if (HostGet3DWindowSight(&sight) != NoError || sight == nullptr) return;
    if (navigatorPalette.trackedCamera == API_Guid {})
    {
        sight->Detach(cameraObserver);
        return;
    }
    trackedCamera = sight->GetCamera();
    sight->Attach(cameraObserver);
}
