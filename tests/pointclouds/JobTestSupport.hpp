#pragma once
#include <gtest/gtest.h>

#include "pointclouds/OrtophotoData.hpp"

inline void ExpectSameCoord(const API_Coord3D& a, const API_Coord3D& b)
{
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
    EXPECT_EQ(a.z, b.z);
}

inline void ExpectSameTile(const OrtophotoDataPart& a, const OrtophotoDataPart& b)
{
    EXPECT_EQ(a.imagePath, b.imagePath);
    ExpectSameCoord(a.leftBottom, b.leftBottom);
    ExpectSameCoord(a.rightUpper, b.rightUpper);
    ExpectSameCoord(a.leftUpper, b.leftUpper);
    ExpectSameCoord(a.rightBottom, b.rightBottom);
}

// Every field but the placed pictures.
inline void ExpectSameSettings(const OrtophotoData& a, const OrtophotoData& b)
{
    EXPECT_EQ(a.execute, b.execute);
    ExpectSameCoord(a.origin, b.origin);
    EXPECT_EQ(a.hasOrigin, b.hasOrigin);
    EXPECT_EQ(a.layerFromJobName, b.layerFromJobName);
    EXPECT_EQ(a.layerIndex, b.layerIndex);
    EXPECT_EQ(a.target.databaseType, b.target.databaseType);
    EXPECT_EQ(a.target.databaseGuid, b.target.databaseGuid);
    EXPECT_EQ(a.target.storey, b.target.storey);
    EXPECT_EQ(a.target.name, b.target.name);
    EXPECT_EQ(a.jobName, b.jobName);
    ASSERT_EQ(a.tiles.GetSize(), b.tiles.GetSize());
    for (std::uint32_t i = 0; i < a.tiles.GetSize(); ++i) ExpectSameTile(a.tiles[i], b.tiles[i]);
}

inline void ExpectSameJob(const OrtophotoData& a, const OrtophotoData& b)
{
    ExpectSameSettings(a, b);
    ASSERT_EQ(a.placedPictures.GetSize(), b.placedPictures.GetSize());
    for (std::uint32_t i = 0; i < a.placedPictures.GetSize(); ++i) EXPECT_EQ(a.placedPictures[i], b.placedPictures[i]);
}

inline OrtophotoDataPart MakeTile(const char* path, API_Coord3D leftBottom, API_Coord3D rightBottom, API_Coord3D leftUpper,
                                  API_Coord3D rightUpper)
{
    OrtophotoDataPart tile;
    tile.imagePath = GS::UniString(path);
    tile.leftBottom = leftBottom;
    tile.rightBottom = rightBottom;
    tile.leftUpper = leftUpper;
    tile.rightUpper = rightUpper;
    return tile;
}
