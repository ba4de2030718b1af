#include "WallFixture.hpp"

#include "AddOnGlobals.hpp"
#include "DG/DG.hpp"
#include "MeasuringState.hpp"

void WallFixture::SetUp()
{
    DG::ForgetAllDialogs();
    host_ = std::make_unique<InProcessHost>();
    survanto_ = theSurvanto.load();
    ASSERT_NE(survanto_, nullptr);
    Host().NewProject();
    PlaceStation(0.0, 0.0);
}

void WallFixture::TearDown()
{
    host_.reset();
    DG::ForgetAllDialogs();
}

void WallFixture::SetPoints(std::initializer_list<API_Coord3D> points) { SetPoints(std::vector<API_Coord3D>(points)); }

void WallFixture::SetPoints(const std::vector<API_Coord3D>& points)
{
    Main().actionPoints.Clear();
    for (const API_Coord3D& p : points) Main().actionPoints.Add(p);
    Main().pointStep = static_cast<std::int16_t>(points.size());
}

void WallFixture::SetItem(std::int16_t item, double value) { Main().SetMainPaletteItemValue(item, value); }

void WallFixture::ChooseOption(std::int16_t item)
{
    for (std::int16_t option = 14; option <= 18; ++option) SetItem(option, option == item ? 1.0 : 0.0);
}

void WallFixture::PlaceStation(double x, double y)
{
    measuringState.stationX = x;
    measuringState.stationY = y;
}

std::vector<API_WallType> WallFixture::Walls()
{
    std::vector<API_WallType> walls;
    for (const SimHost::StoredElement& e : Model().content.elements)
        if (e.record.header.typeID == API_WallID) walls.push_back(e.record.wall);
    return walls;
}
