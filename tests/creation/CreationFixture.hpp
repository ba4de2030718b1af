#pragma once
#include <functional>
#include <string>

#include "DG/DG.hpp"
#include "MainObjectFixture.hpp"

class CreationFixture : public MainObjectFixture
{
protected:
    API_Element& ToolDefaults(API_ElemTypeID type) { return Model().DefaultsFor(type, 0).record; }

    // The anchor pop-up with its eight anchor icons; 0 shows none of them.
    void ChooseAnchor(std::int16_t anchor);
    // The one element of that type the project holds; fails the test otherwise.
    API_Element OnlyElement(API_ElemTypeID type);
    // A creator that ended, made or refused, keeps no collected points.
    void ExpectActionEmptied(const std::string& name = {});

    // Answers every modal dialog with the function and counts the questions.
    void AnswerDialogs(std::function<short(DG::Dialog&)> answer);
    int dialogsShown = 0;
};
