#include "CreationFixture.hpp"

#include <string>

#include "AddOnGlobals.hpp"
#include "DG/DG.hpp"

void CreationFixture::SetUp()
{
    DG::ForgetAllDialogs();
    host_ = std::make_unique<InProcessHost>();
    survanto_ = theSurvanto.load();
    ASSERT_NE(survanto_, nullptr);
    Host().NewProject();
}

void CreationFixture::TearDown()
{
    host_.reset();
    DG::ForgetAllDialogs();
}

void CreationFixture::SetPoints(std::initializer_list<API_Coord3D> points)
{
    Main().actionPoints.Clear();
    for (const API_Coord3D& p : points) Main().actionPoints.Add(p);
    Main().pointStep = static_cast<std::int16_t>(points.size());
}

void CreationFixture::SetItem(std::int16_t item, double value) { Main().SetMainPaletteItemValue(item, value); }

void CreationFixture::ChooseOption(std::int16_t item)
{
    for (std::int16_t option = 14; option <= 18; ++option) SetItem(option, option == item ? 1.0 : 0.0);
}

void CreationFixture::ChooseAnchor(std::int16_t anchor)
{
    Main().MainPaletteItemValue(52);
    DG::Item* popup = DG::GetDialog(Survanto::MainPaletteDialogId)->FindItem(52);
    ASSERT_NE(popup, nullptr);
    popup->entries.clear();
    for (int icon = 32570; icon <= 32577; ++icon) popup->entries.emplace_back(std::to_string(icon));
    popup->entries.emplace_back("32597");
    SetItem(52, anchor == 0 ? 9.0 : anchor);
}

std::vector<API_Element> CreationFixture::ElementsOfType(API_ElemTypeID type)
{
    std::vector<API_Element> found;
    for (const SimHost::StoredElement& e : Model().content.elements)
        if (e.record.header.typeID == type) found.push_back(e.record);
    return found;
}

API_Element CreationFixture::OnlyElement(API_ElemTypeID type)
{
    const std::vector<API_Element> found = ElementsOfType(type);
    EXPECT_EQ(found.size(), 1u);
    if (found.empty()) {
        API_Element none {};
        return none;
    }
    return found.front();
}

void CreationFixture::AnswerDialogs(std::function<short(DG::Dialog&)> answer)
{
    DG::SetModalAnswerer([this, answer](DG::Dialog& dialog) {
        ++dialogsShown;
        return answer(dialog);
    });
}
