#pragma once
#include <string>
#include <vector>

#include "DG/DG.hpp"
#include "MainObjectFixture.hpp"
#include "profiles/SectionPalette.hpp"

// The main object's profile palette open in the simulated host, its name dialog
// answered by the test.
constexpr short NameDialog = 32427;
constexpr short NameItem = 4;
constexpr short PaletteDialog = 32426;
constexpr short ProfileList = 3;

class SectionPaletteTest : public MainObjectFixture
{
protected:
    void SetUp() override
    {
        MainObjectFixture::SetUp();
        Profiles().SetResourceModules(CurrentResourceModule());
        ASSERT_EQ(Profiles().OpenPalette(0), 0);
    }
    void TearDown() override
    {
        DG::SetModalAnswerer(nullptr);
        MainObjectFixture::TearDown();
    }

    SectionPalette& Profiles() { return Main().sectionPalette; }

    // The name dialog answered: the text it offered is noted, then replaced
    // unless `typed` is null, then the dialog is closed with `closing`.
    void AnswerName(const char* typed, short closing = DG::Accept)
    {
        DG::SetModalAnswerer([this, typed, closing](DG::Dialog& dialog) {
            offered.push_back(DG::GetItemText(dialog.resourceId, NameItem).ToUtf8());
            if (typed != nullptr) DG::SetItemText(dialog.resourceId, NameItem, GS::UniString(typed));
            return closing;
        });
    }

    // A closed measured outline in the plan plane, one profile named `name`.
    void Measure(const char* name, std::vector<API_Coord3D> points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 0, 0}},
                 std::vector<Curve3DPalette::arcData> arcs = {})
    {
        Curve3DPalette& curve = Profiles().curvePalette;
        curve.plane = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0}};
        curve.curve.points.Clear();
        for (const API_Coord3D& p : points) curve.curve.points.Add(p);
        curve.curve.arcs.Clear();
        for (const auto& arc : arcs) curve.curve.arcs.Add(arc);
        AnswerName(name);
        Profiles().CreateMeasuredProfile();
    }

    std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        for (const GS::UniString& name : Profiles().profileNames) names.push_back(name.ToUtf8());
        return names;
    }
    std::vector<std::string> ListEntries()
    {
        std::vector<std::string> entries;
        const short count = DG::ListViewGetItemCount(PaletteDialog, ProfileList);
        for (short i = 1; i <= count; ++i) entries.push_back(DG::ListViewGetItemText(PaletteDialog, ProfileList, i).ToUtf8());
        return entries;
    }

    std::vector<std::string> offered;
};
