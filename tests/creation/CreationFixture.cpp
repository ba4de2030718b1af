#include "CreationFixture.hpp"

#include <string>

#include "DG/DG.hpp"

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
