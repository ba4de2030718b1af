#pragma once
#include <cstdint>

#include "API/Types.hpp"
#include "GS/UniString.hpp"
#include "IO/Location.hpp"
#include "framework/TypVektor.hpp"
#include "pointclouds/ACDatabaseID.hpp"
#include "pointclouds/OrtophotoDataPart.hpp"

// One orthophoto job: its tiles, where they go and the pictures placed for it.
class OrtophotoData
{
public:
    OrtophotoData() = default;
    OrtophotoData(const OrtophotoData& other) = default;
    OrtophotoData(OrtophotoData&& other) = default;
    // Takes every field but `placedPictures`: a rescan carries a job's settings
    // over into a new record without the pictures of the earlier one.
    OrtophotoData& operator=(const OrtophotoData& other);
    // Moves the whole job, as a list does when it shifts its entries.
    OrtophotoData& operator=(OrtophotoData&& other) = default;
    ~OrtophotoData() = default;

    // Appends the tiles of a tile description file; a file that cannot be read adds none.
    static void ReadTileFile(OrtophotoData& job, const IO::Location& file);

    // True when the first tile stands vertically (in plan its corners lie on one
    // line), or when there are no tiles.
    bool IsVertical() const;
    // The plan line spanning every tile of a vertical job; false, outputs
    // untouched, for any other job.
    bool GetPlanExtent(double& x1, double& y1, double& x2, double& y2) const;
    // The tile's rectangle in its own plane; outputs untouched for an index
    // outside the list.
    void GetTileExtentInPlane(std::uint32_t tileIndex, double& minU, double& minV, double& maxU, double& maxV) const;
    // The smallest plane coordinates over all tiles; outputs untouched without tiles.
    void GetMinimumExtent(double& minU, double& minV) const;

    bool execute = false;
    API_Coord3D origin;
    bool hasOrigin = false;
    bool layerFromJobName = true;
    std::int16_t layerIndex = 1;
    ACDatabaseID target;
    GS::UniString jobName;
    TypVektor<OrtophotoDataPart> tiles;
    TypVektor<API_Guid> placedPictures;
};
