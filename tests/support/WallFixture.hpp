#pragma once
#include <vector>

#include "MainObjectFixture.hpp"

// The main object with its station at the origin of the plan.
class WallFixture : public MainObjectFixture
{
protected:
    void SetUp() override;

    API_Element& WallDefaults() { return Model().DefaultsFor(API_WallID, 0).record; }
    void PlaceStation(double x, double y);
    std::vector<API_WallType> Walls();
};
