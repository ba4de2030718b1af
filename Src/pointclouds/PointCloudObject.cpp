#include "pointclouds/PointCloudObject.hpp"

#include <vector>

#include "API/AddOnInterface.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/ScopedElementMemo.hpp"

namespace
{

void SetParameter(std::vector<API_AddParType>& parameters, const char* name, double value)
{
    const std::int32_t index = FindParamIndex(name, &parameters);
    if (index >= 0) parameters[static_cast<std::size_t>(index)].value = value;
}

}  // namespace

GSErrCode PlacePointCloudObject(std::int32_t libIndex, const PointCloudBox& box, std::int16_t storeyIndex, API_Guid& placed)
{
    API_Element object;
    ScopedElementMemo memo;
    object.header.typeID = API_ObjectID;
    if (const GSErrCode read = HostGetElementDefaults(&object, &*memo); read != NoError) return read;
    object.object.libraryPartIndex = libIndex;
    object.object.position = {box.xMin, box.yMin};
    object.header.floorInd = storeyIndex;
    object.object.elevation = box.zMin - GetStoryLevel(storeyIndex);
    double a = 0.0, b = 0.0;
    if (const GSErrCode read = HostGetLibraryPartParameters(libIndex, &a, &b, &memo->params); read != NoError) return read;
    object.object.sizeA = a;
    object.object.sizeB = b;
    SetParameter(memo->params, "upperPlaneHeight2", 1.1);
    SetParameter(memo->params, "lowerPlaneHeight2", 1.0);
    SetParameter(memo->params, "bOverrideCutplane", 1.0);
    const GSErrCode created = HostCreateElement(&object, &*memo);
    memo.Dispose();
    if (created != NoError) return created;
    placed = object.header.guid;
    HostAttachElementObserver(&object.header, 0);
    std::vector<API_Guid> zoomed {placed};
    HostAutomationRequest(FourCC("ZTEL"), &zoomed, nullptr);
    return NoError;
}
