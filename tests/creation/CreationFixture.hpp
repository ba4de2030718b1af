#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include "DG/DG.hpp"
#include "InProcessHost.hpp"
#include "ProjectModel.hpp"
#include "Survanto.hpp"

constexpr double Pi = 3.14159265358979323846;
constexpr double Degree = Pi / 180.0;

// An in-process host with an empty project, the main object and its palette.
class CreationFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    Survanto& Main() { return *survanto_; }
    SimHost::Host& Host() { return host_->host(); }
    SimHost::ProjectModel& Model() { return Host().model_; }
    API_Element& ToolDefaults(API_ElemTypeID type) { return Model().DefaultsFor(type, 0).record; }

    void SetPoints(std::initializer_list<API_Coord3D> points);
    void SetItem(std::int16_t item, double value);
    // Sets exactly one of the palette's option items 14 to 18.
    void ChooseOption(std::int16_t item);
    // The anchor pop-up with its eight anchor icons; 0 shows none of them.
    void ChooseAnchor(std::int16_t anchor);

    std::vector<API_Element> ElementsOfType(API_ElemTypeID type);
    // The one element of that type the project holds; fails the test otherwise.
    API_Element OnlyElement(API_ElemTypeID type);

    // Answers every modal dialog with the function and counts the questions.
    void AnswerDialogs(std::function<short(DG::Dialog&)> answer);
    int dialogsShown = 0;

private:
    std::unique_ptr<InProcessHost> host_;
    Survanto* survanto_ = nullptr;
};
