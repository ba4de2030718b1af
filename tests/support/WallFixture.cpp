#include "WallFixture.hpp"

#include "measuring/MeasuringState.hpp"

void WallFixture::SetUp()
{
    MainObjectFixture::SetUp();
    PlaceStation(0.0, 0.0);
}

void WallFixture::PlaceStation(double x, double y)
{
    measuringState.stationX = x;
    measuringState.stationY = y;
}

std::vector<API_WallType> WallFixture::Walls()
{
    std::vector<API_WallType> walls;
    for (const API_Element& e : ElementsOfType(API_WallID)) walls.push_back(e.wall);
    return walls;
}
