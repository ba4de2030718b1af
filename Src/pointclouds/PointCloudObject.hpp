#pragma once
#include <cstdint>

#include "API/Types.hpp"
#include "pointclouds/PointCloudBox.hpp"

// Places one object of a point-cloud part at the box minimum on the storey, with
// the part's parameters and its cut planes, watches it and zooms to it. Returns
// the host's error; on success `placed` is the object.
GSErrCode PlacePointCloudObject(std::int32_t libIndex, const PointCloudBox& box, std::int16_t storeyIndex, API_Guid& placed);
