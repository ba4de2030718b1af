#pragma once
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <vector>

#include "InProcessHost.hpp"
#include "ProjectModel.hpp"
#include "frame/Survanto.hpp"

constexpr double Pi = 3.14159265358979323846;
constexpr double Degree = Pi / 180.0;

// An in-process host with an empty project and the main object, for tests that
// put points into the running action and look at what the project then holds.
class MainObjectFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    Survanto& Main() { return *survanto_; }
    SimHost::Host& Host() { return host_->host(); }
    SimHost::ProjectModel& Model() { return Host().model_; }

    void SetPoints(std::initializer_list<API_Coord3D> points) { SetPoints(std::vector<API_Coord3D>(points)); }
    void SetPoints(const std::vector<API_Coord3D>& points);
    void SetItem(std::int16_t item, double value);
    // Sets exactly one of the palette's option items 14 to 18.
    void ChooseOption(std::int16_t item);
    std::vector<API_Element> ElementsOfType(API_ElemTypeID type);
    // The menu item chosen, as the host hands it to the add-on's handler.
    void Menu(std::int16_t menu, std::int32_t item = 1);

private:
    std::unique_ptr<InProcessHost> host_;
    Survanto* survanto_ = nullptr;
};
