#include "CurveFixture.hpp"

#include "measuring/MeasuringState.hpp"

void CurveFixture::SetUp()
{
    MainObjectFixture::SetUp();
    measuringState = MeasuringState {};
    PlaceStation(0.0, 0.0);
}

void CurveFixture::SetCurve(const std::vector<API_Coord3D>& points, const std::vector<Curve3DPalette::arcData>& arcs)
{
    Curve3DPalette::CurveData& curve = Curves().curve;
    curve = Curve3DPalette::CurveData {};
    for (const API_Coord3D& p : points) curve.points.Add(p);
    for (std::size_t i = 1; i < points.size(); ++i) curve.tangents.Add({1, 0, 0});
    if (points.size() > 1) curve.tangents.Add({1, 0, 0});
    for (const Curve3DPalette::arcData& arc : arcs) curve.arcs.Add(arc);
}

void CurveFixture::PlaceStation(double x, double y)
{
    measuringState.stationX = x;
    measuringState.stationY = y;
}

void CurveFixture::AddLayer(std::int16_t layer) { Model().content.layers[layer] = SimHost::LayerEntry {"Ebene", 0}; }

std::vector<const SimHost::StoredElement*> CurveFixture::Stored(API_ElemTypeID type)
{
    std::vector<const SimHost::StoredElement*> found;
    for (const SimHost::StoredElement& e : Model().content.elements)
        if (e.record.header.typeID == type) found.push_back(&e);
    return found;
}
