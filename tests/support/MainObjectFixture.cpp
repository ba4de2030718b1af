#include "MainObjectFixture.hpp"

#include "DG/DG.hpp"
#include "frame/AddOnGlobals.hpp"

void MainObjectFixture::SetUp()
{
    DG::ForgetAllDialogs();
    host_ = std::make_unique<InProcessHost>();
    survanto_ = theSurvanto.load();
    ASSERT_NE(survanto_, nullptr);
    Host().NewProject();
}

void MainObjectFixture::TearDown()
{
    host_.reset();
    DG::ForgetAllDialogs();
}

void MainObjectFixture::SetPoints(const std::vector<API_Coord3D>& points)
{
    Main().actionPoints.Clear();
    for (const API_Coord3D& p : points) Main().actionPoints.Add(p);
    Main().pointStep = static_cast<std::int16_t>(points.size());
}

void MainObjectFixture::SetItem(std::int16_t item, double value) { Main().SetMainPaletteItemValue(item, value); }

void MainObjectFixture::ChooseOption(std::int16_t item)
{
    for (std::int16_t option = 14; option <= 18; ++option) SetItem(option, option == item ? 1.0 : 0.0);
}

std::vector<API_Element> MainObjectFixture::ElementsOfType(API_ElemTypeID type)
{
    std::vector<API_Element> found;
    for (const SimHost::StoredElement& e : Model().content.elements)
        if (e.record.header.typeID == type) found.push_back(e.record);
    return found;
}

void MainObjectFixture::Menu(std::int16_t menu, std::int32_t item)
{
    API_MenuParams params;
    params.menuResID = menu;
    params.itemIndex = item;
    for (const auto& [handled, handler] : Host().menuHandlers_)
        if (handled == menu)
        {
            handler(&params);
            return;
        }
    ADD_FAILURE() << "no handler for menu " << menu;
}
