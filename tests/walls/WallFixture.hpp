#pragma once
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <vector>

#include "InProcessHost.hpp"
#include "ProjectModel.hpp"
#include "Survanto.hpp"

constexpr double Pi = 3.14159265358979323846;
constexpr double Degree = Pi / 180.0;

// An in-process host with an empty project and the main object, its station at
// the origin of the plan.
class WallFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    Survanto& Main() { return *survanto_; }
    SimHost::Host& Host() { return host_->host(); }
    SimHost::ProjectModel& Model() { return Host().model_; }
    API_Element& WallDefaults() { return Model().DefaultsFor(API_WallID, 0).record; }

    void SetPoints(std::initializer_list<API_Coord3D> points);
    void SetPoints(const std::vector<API_Coord3D>& points);
    void SetItem(std::int16_t item, double value);
    // Sets exactly one of the palette's option items 14 to 18.
    void ChooseOption(std::int16_t item);
    void PlaceStation(double x, double y);

    std::vector<API_WallType> Walls();

private:
    std::unique_ptr<InProcessHost> host_;
    Survanto* survanto_ = nullptr;
};
