#include "pointclouds/ScannerCamera.hpp"

#include <cmath>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "framework/AngleConstants.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/ScopedElementMemo.hpp"

namespace
{

constexpr double ViewCone = 1.4311699866353502;  // 82°
constexpr double FramePace = 0.01;
constexpr double LookingNorth = HalfPi;
constexpr std::uint32_t ScannerLink = 1;
constexpr std::size_t MaxNameUnits = API_CamSetNameLength - 1;

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit < 0xDC00; }

void SetCameraSetName(API_CamSetType& set, const GS::UniString& partName)
{
    std::u16string name = (GS::UniString("Survanto - ") + partName).Units();
    if (name.size() > MaxNameUnits) name.resize(IsHighSurrogate(name[MaxNameUnits - 1]) ? MaxNameUnits - 1 : MaxNameUnits);
    name.copy(set.name, name.size());
    set.name[name.size()] = 0;
}

double ParameterValue(const API_ElementMemo& memo, const char* name)
{
    const std::int32_t index = FindMemoParamIndex(name, memo);
    return index >= 0 ? memo.params[static_cast<std::size_t>(index)].value : 0.0;
}

// The camera set's settings: cameras shown, an open path that is not smoothed, 15
// steps between cameras, 7 frames a camera, the target smoothed.
API_Guid CreateCameraSet(const GS::UniString& partName)
{
    std::vector<API_Guid> sets;
    HostGetElementList(API_CamSetID, &sets);
    API_Element set;
    set.header.typeID = API_CamSetID;
    SetCameraSetName(set.camset, partName);
    set.camset.showCams = true;
    set.camset.closedPath = false;
    set.camset.smoothPath = false;
    set.camset.bezierSteps = 15;
    set.camset.framesPerCamera = 7;
    set.camset.smoothTarget = true;
    return HostCreateElement(&set, nullptr) == NoError ? set.header.guid : APINULLGuid;
}

}  // namespace

API_Guid CreateScannerCamera(const API_Guid& objectGuid, std::optional<double> x, std::optional<double> y,
                             std::optional<double> z)
{
    API_Element object;
    object.header.guid = objectGuid;
    ScopedElementMemo memo;
    if (HostGetElement(&object) != NoError || HostGetElementMemo(&objectGuid, &*memo, APIMemoMask_All) != NoError)
        return APINULLGuid;
    // Without the part's name or the camera tool's settings no camera set is begun.
    const std::optional<GS::UniString> partName = LibraryPartName(object.object.libraryPartIndex);
    API_Element camera;
    camera.header.typeID = API_CameraID;
    if (!partName || HostGetElementDefaults(&camera, nullptr) != NoError) return APINULLGuid;
    const API_Guid set = CreateCameraSet(*partName);
    if (set == APINULLGuid) return APINULLGuid;
    const double sx = ParameterValue(*memo, "scannerX"), sy = ParameterValue(*memo, "scannerY"),
                 sz = ParameterValue(*memo, "scannerZ");
    memo.Dispose();
    const double x0 = x.value_or(object.object.position.x);
    const double y0 = y.value_or(object.object.position.y);
    const double z0 = z.value_or(object.object.elevation + GetStoryLevel(object.header.floorInd));
    const double a = object.object.angle;

    camera.camera.camSetGuid = set;
    camera.camera.position = {x0 + sx * std::cos(a) - sy * std::sin(a), y0 + sx * std::sin(a) + sy * std::cos(a)};
    camera.camera.target = {camera.camera.position.x, camera.camera.position.y + 1.0};
    camera.camera.cameraZ = camera.camera.targetZ = z0 + sz;
    camera.camera.viewCone = ViewCone;
    camera.camera.inFrames = camera.camera.outFrames = FramePace;
    camera.camera.azimuth = LookingNorth;
    camera.camera.nextCam = APINULLGuid;
    if (HostCreateElement(&camera, nullptr) != NoError)
    {
        API_Elem_Head setHeader {};
        setHeader.typeID = API_CamSetID;
        setHeader.guid = set;
        HostDeleteElements(&setHeader, 1);
        return APINULLGuid;
    }
    const API_Guid cameraGuid = camera.header.guid;
    HostAttachElementObserver(&camera.header, 0);
    HostLinkElements(&objectGuid, &cameraGuid, ScannerLink);
    HostLinkElements(&cameraGuid, &objectGuid, ScannerLink);
    return cameraGuid;
}
