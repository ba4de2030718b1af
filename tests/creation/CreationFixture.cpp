#include "CreationFixture.hpp"

#include "DG/DG.hpp"

void CreationFixture::ChooseAnchor(std::int16_t anchor)
{
    constexpr short Palette = Survanto::MainPaletteDialogId;
    constexpr short AnchorMenu = 52;
    Main().MainPaletteItemValue(AnchorMenu);
    DG::PopupSetItemCount(Palette, AnchorMenu, 9);
    for (short entry = 1; entry <= 8; ++entry)
        DG::PopupSetItemIcon(Palette, AnchorMenu, entry, static_cast<short>(32569 + entry));
    DG::PopupSetItemIcon(Palette, AnchorMenu, 9, 32597);
    DG::PopupSelectItem(Palette, AnchorMenu, anchor == 0 ? short(9) : anchor);
}

API_Element CreationFixture::OnlyElement(API_ElemTypeID type)
{
    const std::vector<API_Element> found = ElementsOfType(type);
    EXPECT_EQ(found.size(), 1u);
    if (found.empty())
    {
        API_Element none {};
        return none;
    }
    return found.front();
}

void CreationFixture::ExpectActionEmptied(const std::string& name)
{
    EXPECT_TRUE(Main().actionPoints.IsEmpty()) << name;
    EXPECT_EQ(Main().pointStep, 0) << name;
}

void CreationFixture::AnswerDialogs(std::function<short(DG::Dialog&)> answer)
{
    DG::SetModalAnswerer([this, answer](DG::Dialog& dialog) {
        ++dialogsShown;
        return answer(dialog);
    });
}
